#include "settings/settings_dialog.h"

#include <commdlg.h>

#include "res/settings_dialog.h"
#include "res/strings.h"
#include "settings/postal_path_check.h"
#include "ui/file_open_dialog.h"
#include "ui/module_state.h"
#include "ui/shell_open.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

// A path taken from its edit is refused, the edit keeping it, where it names a file that cannot
// serve in its slot.
void CheckPath(ui::DataExchange& dx, int id, PostalSlot slot, const std::string& path) {
    if (!dx.FromControls() || dx.Failed() || path.empty()) return;
    const std::wstring refusal = CheckPostalPath(slot, path);
    if (!refusal.empty()) dx.Fail(id, refusal);
}

}  // namespace

SettingsDialog::SettingsDialog() : Dialog(IDD_SETTINGS) {
    OnCommand(IDC_SETTINGS_NATIONWIDE_BROWSE, BN_CLICKED, &SettingsDialog::BrowseNationwideFile);
    OnCommand(IDC_SETTINGS_BUSINESS_BROWSE, BN_CLICKED, &SettingsDialog::BrowseBusinessFile);
    OnCommand(IDC_SETTINGS_DOWNLOAD_PAGE, BN_CLICKED, &SettingsDialog::OpenDownloadPage);
}

void SettingsDialog::ExchangeData(ui::DataExchange& dx) {
    // The check box is set and read by hand, not by the exchange.
    dx.Bind(IDC_SETTINGS_DIV_CITY, divCityCheck_);
    dx.Text(IDC_SETTINGS_NATIONWIDE_FILE, nationwideFile);
    CheckPath(dx, IDC_SETTINGS_NATIONWIDE_FILE, PostalSlot::kNationwide, nationwideFile);
    dx.Text(IDC_SETTINGS_BUSINESS_FILE, businessFile);
    CheckPath(dx, IDC_SETTINGS_BUSINESS_FILE, PostalSlot::kBusiness, businessFile);
}

bool SettingsDialog::OnInitDialog() {
    UpdateData(false);
    if (divCity != 0) divCityCheck_.SetCheckState(BST_CHECKED);
    return true;
}

void SettingsDialog::OnOK() {
    divCity = divCityCheck_.CheckState() == BST_CHECKED ? 1 : 0;
    Dialog::OnOK();
}

void SettingsDialog::BrowseNationwideFile() {
    Browse(nationwideFile, "utf_ken_all.zip");
}

void SettingsDialog::BrowseBusinessFile() {
    Browse(businessFile, "jigyosyo.zip");
}

void SettingsDialog::Browse(std::string& path, const char* initialName) {
    // Japan Post's downloads as they come, and the CSV files they unpack to.
    ui::FileOpenDialog dialog("zip", initialName,
                              ui::WideToAnsi(L"郵便番号データ (*.csv;*.zip)|*.csv;*.zip||"),
                              OFN_FILEMUSTEXIST);
    if (std::optional<std::string> chosen = dialog.Run()) path = *chosen;
    // Both edits show the held paths again: what was typed by hand since is replaced.
    if (!path.empty()) UpdateData(false);
}

void SettingsDialog::OpenDownloadPage() {
    ui::AddinModuleScope scope;
    ui::OpenInShell(Handle(), ui::LoadAnsiString(IDS_DOWNLOAD_PAGE_URL));
}

}  // namespace marupo
