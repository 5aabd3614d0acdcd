#include "registrar/win32_registry.h"

#include <windows.h>

namespace marupo::registrar {
namespace {

static_assert(kRegistryOk == ERROR_SUCCESS && kRegistryNotFound == ERROR_FILE_NOT_FOUND);

// Read and write access, which deleting a subtree below the key needs as well.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

class Win32Key final : public RegistryKey {
  public:
    // A predefined root key is not closed.
    Win32Key(HKEY key, bool owned) : key_(key), owned_(owned) {}
    ~Win32Key() override {
        if (owned_) RegCloseKey(key_);
    }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    RegistryStatus OpenOrCreate(const std::wstring& name,
                                std::unique_ptr<RegistryKey>& key) override {
        HKEY opened = nullptr;
        const LSTATUS status =
            RegCreateKeyExW(key_, name.c_str(), 0, nullptr, 0, kAccess, nullptr, &opened, nullptr);
        if (status == ERROR_SUCCESS) key = std::make_unique<Win32Key>(opened, true);
        return status;
    }
    RegistryStatus OpenExisting(const std::wstring& name,
                                std::unique_ptr<RegistryKey>& key) override {
        HKEY opened = nullptr;
        const LSTATUS status = RegOpenKeyExW(key_, name.c_str(), 0, kAccess, &opened);
        if (status == ERROR_SUCCESS) key = std::make_unique<Win32Key>(opened, true);
        return status;
    }
    RegistryStatus DeleteTree(const std::wstring& name) override {
        return RegDeleteTreeW(key_, name.c_str());
    }
    RegistryStatus DeleteEmpty(const std::wstring& name) override {
        return RegDeleteKeyW(key_, name.c_str());
    }
    RegistryStatus HasSubkeys(bool& has) override {
        DWORD count = 0;
        const LSTATUS status =
            RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr);
        has = count != 0;
        return status;
    }
    RegistryStatus SetValue(const std::wstring& name, const RegistryValue& value) override {
        switch (value.type) {
            case ValueType::kString:
                return Set(name, REG_SZ, value.text.c_str(),
                           (value.text.size() + 1) * sizeof(wchar_t));
            case ValueType::kDword:
                return Set(name, REG_DWORD, &value.number, sizeof value.number);
            case ValueType::kBinary:
                return Set(name, REG_BINARY, value.bytes.data(), value.bytes.size());
        }
        return ERROR_INVALID_PARAMETER;
    }
    RegistryStatus DeleteValue(const std::wstring& name) override {
        return RegDeleteValueW(key_, name.c_str());
    }

  private:
    LSTATUS Set(const std::wstring& name, DWORD type, const void* data, std::size_t size) {
        if (size > MAXDWORD) return ERROR_INVALID_PARAMETER;
        return RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                              static_cast<DWORD>(size));
    }

    HKEY key_;
    bool owned_;
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
    key = std::make_unique<Win32Key>(handle, false);
    return ERROR_SUCCESS;
}

}  // namespace marupo::registrar
