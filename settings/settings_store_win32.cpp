#include <windows.h>

#include <string>

#include "res/strings.h"
#include "settings/settings_store.h"
#include "ui/message_box.h"
#include "ui/module_state.h"
#include "win/registry_key.h"

namespace marupo {
namespace {

// The add-in's key under HKEY_CURRENT_USER, created when missing. The subkey path is taken
// from the string table on every access.
win::RegistryKey OpenSettingsKey() {
    win::RegistryKey key;
    win::RegistryKey::Root(HKEY_CURRENT_USER)
        .Create(ui::LoadWideString(IDS_SETTINGS_KEY), KEY_ALL_ACCESS, key);
    return key;
}

}  // namespace

bool LoadSettings(PostalSettings& settings) {
    const win::RegistryKey key = OpenSettingsKey();
    if (!key.IsOpen()) {
        settings.nationwideFile.clear();
        settings.businessFile.clear();
        return false;
    }
    // Each path whole, however long: one cut short or dropped here would be overwritten at the
    // settings dialog's next OK. A missing value reads as an empty path; a DivCity that is
    // missing or not exactly four bytes long leaves the default.
    settings.nationwideFile = key.ReadString("CSVFile1").value_or(std::string());
    settings.businessFile = key.ReadString("CSVFile2").value_or(std::string());
    if (const auto divCity = key.ReadDword(L"DivCity"))
        settings.divCity = static_cast<std::int32_t>(*divCity);
    return settings.IsComplete();
}

bool SaveSettings(const PostalSettings& settings) {
    const win::RegistryKey key = OpenSettingsKey();
    // All three writes run even after a failure; the message comes once, after the third.
    bool ok = key.WriteString("CSVFile1", settings.nationwideFile) == ERROR_SUCCESS;
    ok = key.WriteString("CSVFile2", settings.businessFile) == ERROR_SUCCESS && ok;
    ok = key.WriteDword(L"DivCity", static_cast<DWORD>(settings.divCity)) == ERROR_SUCCESS && ok;
    if (!ok) ui::ShowMessage(L"レジストリの書き込みに失敗しました。");
    return ok;
}

}  // namespace marupo
