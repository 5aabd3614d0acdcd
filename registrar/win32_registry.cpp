#include "registrar/win32_registry.h"

#include <windows.h>

#include <utility>

#include "win/registry_key.h"

namespace marupo::registrar {
namespace {

static_assert(kRegistryOk == ERROR_SUCCESS && kRegistryNotFound == ERROR_FILE_NOT_FOUND);

// Read and write access, which deleting a subtree below the key needs as well.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// The script engine's key over one key of the real registry.
class Win32Key final : public RegistryKey {
  public:
    explicit Win32Key(win::RegistryKey key) : key_(std::move(key)) {}

    RegistryStatus OpenOrCreate(const std::wstring& name,
                                std::unique_ptr<RegistryKey>& key) override {
        win::RegistryKey opened;
        const LSTATUS status = key_.Create(name, kAccess, opened);
        return Wrap(status, std::move(opened), key);
    }
    RegistryStatus OpenExisting(const std::wstring& name,
                                std::unique_ptr<RegistryKey>& key) override {
        win::RegistryKey opened;
        const LSTATUS status = key_.Open(name, kAccess, opened);
        return Wrap(status, std::move(opened), key);
    }
    RegistryStatus DeleteTree(const std::wstring& name) override { return key_.DeleteTree(name); }
    RegistryStatus DeleteEmpty(const std::wstring& name) override { return key_.DeleteEmpty(name); }
    RegistryStatus HasSubkeys(bool& has) override { return key_.HasSubkeys(has); }
    RegistryStatus SetValue(const std::wstring& name, const RegistryValue& value) override {
        switch (value.type) {
            case ValueType::kString:
                return key_.WriteString(name.c_str(), value.text);
            case ValueType::kDword:
                return key_.WriteDword(name.c_str(), value.number);
            case ValueType::kBinary:
                return key_.WriteBinary(name.c_str(), value.bytes.data(), value.bytes.size());
        }
        return ERROR_INVALID_PARAMETER;
    }
    RegistryStatus DeleteValue(const std::wstring& name) override {
        return key_.DeleteValue(name.c_str());
    }

  private:
    static RegistryStatus Wrap(LSTATUS status, win::RegistryKey opened,
                               std::unique_ptr<RegistryKey>& key) {
        if (status == ERROR_SUCCESS) key = std::make_unique<Win32Key>(std::move(opened));
        return status;
    }

    win::RegistryKey key_;
};

HKEY RootHandle(RootKey root) {
    switch (root) {
        case RootKey::kClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RootKey::kCurrentUser:
            return HKEY_CURRENT_USER;
        case RootKey::kLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RootKey::kUsers:
            return HKEY_USERS;
        case RootKey::kPerformanceData:
            return HKEY_PERFORMANCE_DATA;
        case RootKey::kDynData:
            return HKEY_DYN_DATA;
        case RootKey::kCurrentConfig:
            return HKEY_CURRENT_CONFIG;
    }
    return nullptr;
}

}  // namespace

RegistryStatus Win32Registry::OpenRoot(RootKey root, std::unique_ptr<RegistryKey>& key) {
    const HKEY handle = RootHandle(root);
    if (handle == nullptr) return ERROR_INVALID_PARAMETER;
    key = std::make_unique<Win32Key>(win::RegistryKey::Root(handle));
    return ERROR_SUCCESS;
}

}  // namespace marupo::registrar
