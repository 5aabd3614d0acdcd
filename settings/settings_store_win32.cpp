#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/strings.h"
#include "settings/settings_store.h"
#include "ui/message_box.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

constexpr DWORD kPathBufferSize = 512;  // what a usual path fits in with its NUL

class SettingsKey {
  public:
    SettingsKey() {
        // The subkey path is taken from the string table on every access.
        std::string subkey = ui::LoadAnsiString(IDS_SETTINGS_KEY);
        DWORD disposition = 0;
        char emptyClass[] = "";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, emptyClass,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_,
                            &disposition) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~SettingsKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    bool IsOpen() const { return key_ != nullptr; }

    // The whole value, however long: a path cut short or dropped here would be overwritten at
    // the settings dialog's next OK. The buffer is zero-filled, so a value stored without its
    // NUL still ends there. A missing value reads as an empty path.
    std::string ReadPath(const char* name) const {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return {};
        std::vector<char> buffer;
        LSTATUS status = ERROR_MORE_DATA;
        while (status == ERROR_MORE_DATA) {  // the value may grow between the two queries
            buffer.assign(std::max(size, kPathBufferSize) + 1, '\0');
            status = RegQueryValueExA(key_, name, nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(buffer.data()), &size);
        }
        return status == ERROR_SUCCESS ? std::string(buffer.data()) : std::string();
    }

    // Leaves `value` untouched when the value is missing or is not exactly 4 bytes long.
    void ReadDword(const char* name, std::int32_t& value) const {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
            size != sizeof(DWORD)) {
            return;
        }
        DWORD stored = 0;
        if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&stored),
                             &size) == ERROR_SUCCESS) {
            value = static_cast<std::int32_t>(stored);
        }
    }

    bool WritePath(const char* name, const std::string& path) const {
        if (key_ == nullptr) return false;
        return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                              static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
    }

    bool WriteDword(const char* name, std::int32_t value) const {
        if (key_ == nullptr) return false;
        DWORD stored = static_cast<DWORD>(value);
        return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                              sizeof stored) == ERROR_SUCCESS;
    }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

bool LoadSettings(PostalSettings& settings) {
    SettingsKey key;
    if (!key.IsOpen()) {
        settings.nationwideFile.clear();
        settings.businessFile.clear();
        return false;
    }
    settings.nationwideFile = key.ReadPath("CSVFile1");
    settings.businessFile = key.ReadPath("CSVFile2");
    key.ReadDword("DivCity", settings.divCity);
    return settings.IsComplete();
}

bool SaveSettings(const PostalSettings& settings) {
    SettingsKey key;
    // All three writes run even after a failure; the message comes once, after the third.
    bool ok = key.WritePath("CSVFile1", settings.nationwideFile);
    ok = key.WritePath("CSVFile2", settings.businessFile) && ok;
    ok = key.WriteDword("DivCity", settings.divCity) && ok;
    if (!ok) ui::ShowMessage(L"レジストリの書き込みに失敗しました。");
    return ok;
}

}  // namespace marupo
