#include "editor/address_editor_dialog.h"

#include <commctrl.h>

#include "entry/host_categories.h"
#include "entry/host_text.h"
#include "host/host_call.h"
#include "module/about_dialog.h"
#include "res/address_page.h"
#include "res/editor.h"
#include "res/strings.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "ui/common_controls.h"
#include "ui/message_box.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo::editor {
namespace {

constexpr int kAddressTab = 0;
constexpr int kNoteTab = 1;
// System commands carry flags in their low four bits.
constexpr WPARAM kSystemCommandMask = 0xFFF0;

// The host's categories in its order.
std::vector<CategoryItem> HostCategoryItems(const AddressEntry& entry) {
    Microsoft::WRL::ComPtr<ICategoryNames> categories = HostCategories(entry);
    const long count = HostGet(categories, &ICategoryNames::GetCount);
    std::vector<CategoryItem> items;
    for (long i = 0; i < count; ++i) {
        UniqueBstr name = HostGet(categories, &ICategoryNames::GetItem, i);
        items.push_back({AnsiFromHost(name.Get()), HostTextCopy(name.Get())});
    }
    return items;
}

}  // namespace

AddressEditorDialog::AddressEditorDialog(AddressEntry& edited)
    : Dialog(IDD_EDITOR_FRAME), entry_(edited) {
    ui::AddinModuleScope scope;
    smallIcon_ = ui::LoadIconResource(IDI_MARUPO, GetSystemMetrics(SM_CXSMICON));
    OnCommand(IDC_EDITOR_SETTINGS, BN_CLICKED, &AddressEditorDialog::OpenSettings);
    OnCommand(IDC_EDITOR_ABOUT, BN_CLICKED, &AddressEditorDialog::OpenAbout);
    OnNotify(IDC_EDITOR_TABS, TCN_SELCHANGE, &AddressEditorDialog::SwitchPage);
}

INT_PTR AddressEditorDialog::Run() {
    ui::AddinModuleScope scope;
    ui::RegisterCommonControls(ICC_TAB_CLASSES);
    return DoModal();
}

void AddressEditorDialog::ExchangeData(ui::DataExchange& dx) {
    dx.Bind(IDC_EDITOR_PRIVATE, privateCheck_);
    dx.Bind(IDC_EDITOR_CATEGORY, categoryList_);
    dx.Bind(IDC_EDITOR_TABS, tabs_);
    dx.Text(IDC_EDITOR_SPARE, spareText_);
}

bool AddressEditorDialog::OnInitDialog() {
    UpdateData(false);
    AddSystemMenuItems();
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    SetCaption(ui::WideToAnsi(entry_.editsExisting ? L"Marupo 編集" : L"Marupo 新規アドレス"));
    // Before any page exists: the pages are made with the settings the user has just chosen.
    if (!LoadSettings(settings_)) OpenSettings();
    FillCategoryList();
    privateCheck_.SetCheckState(entry_.isPrivate ? BST_CHECKED : BST_UNCHECKED);

    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string addressTab = ui::WideToAnsi(L"名前");
    std::string noteTab = ui::WideToAnsi(L"コメント");
    item.pszText = addressTab.data();
    tabs_.Send(TCM_INSERTITEMA, kAddressTab, reinterpret_cast<LPARAM>(&item));
    item.pszText = noteTab.data();
    tabs_.Send(TCM_INSERTITEMA, kNoteTab, reinterpret_cast<LPARAM>(&item));

    addressPage_.readingLocked = entry_.editsExisting;
    addressPage_.Create(Handle());
    notePage_.Create(Handle());
    notePage_.Show(false);
    addressPage_.Show(true);
    SetFocus(addressPage_.Item(IDC_ADDR_SURNAME));
    return false;
}

void AddressEditorDialog::AddSystemMenuItems() {
    const std::string about = ui::LoadAnsiString(IDS_ABOUT_MENU_ITEM);
    if (about.empty()) return;
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_SYSTEM_ABOUT, about.c_str());
    AppendMenuA(menu, MF_STRING, IDM_SYSTEM_SETTINGS,
                ui::LoadAnsiString(IDS_SETTINGS_MENU_ITEM).c_str());
}

void AddressEditorDialog::FillCategoryList() {
    categoryItems_ = CategoryItems(HostCategoryItems(entry_));
    for (const CategoryItem& item : categoryItems_)
        categoryList_.Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.name.c_str()));
    const std::optional<std::size_t> selected = PreselectedCategory(
        categoryItems_, entry_.category,
        entry_.hostTextOrigins.Original(HostTextField::kCategory, entry_.category));
    categoryList_.Send(CB_SETCURSEL, selected ? static_cast<WPARAM>(*selected) : WPARAM(-1));
}

void AddressEditorDialog::OpenSettings() {
    ui::AddinModuleScope scope;
    SettingsDialog dialog;
    dialog.nationwideFile = settings_.nationwideFile;
    dialog.businessFile = settings_.businessFile;
    dialog.divCity = settings_.divCity;
    if (dialog.DoModal() != IDOK) return;
    // The address page reads these very settings, so its next lookup uses them at once.
    settings_.nationwideFile = dialog.nationwideFile;
    settings_.businessFile = dialog.businessFile;
    settings_.divCity = dialog.divCity;
    SaveSettings(settings_);
}

void AddressEditorDialog::OpenAbout() {
    AboutDialog::Show();
}

LRESULT AddressEditorDialog::SwitchPage(NMHDR*) {
    const LRESULT selected = tabs_.Send(TCM_GETCURSEL);
    if (selected == kAddressTab) {
        notePage_.Show(false);
        addressPage_.Show(true);
    } else if (selected == kNoteTab) {
        addressPage_.Show(false);
        notePage_.Show(true);
    }
    return 0;
}

void AddressEditorDialog::TakeSelectedCategory() {
    const LRESULT selected = categoryList_.Send(CB_GETCURSEL);
    if (selected < 0 || static_cast<std::size_t>(selected) >= categoryItems_.size()) {
        entry_.category.clear();
        return;
    }
    // The record gets the host's own name of the item, as the host spells it.
    const CategoryItem& item = categoryItems_[static_cast<std::size_t>(selected)];
    entry_.category = item.name;
    entry_.hostTextOrigins.Record(HostTextField::kCategory, item.name, item.hostName);
}

void AddressEditorDialog::OnOK() {
    // A refused field has been reported and keeps the focus; closing now would write the older
    // values of that page's later fields back to the host.
    if (!addressPage_.UpdateData(true) || !notePage_.UpdateData(true)) return;
    if (entry_.givenName.empty() && entry_.surname.empty()) {
        ui::ShowMessage(L"姓名のどちらかの入力は必須です。");
        return;
    }
    TakeSelectedCategory();
    entry_.isPrivate = privateCheck_.CheckState() == BST_CHECKED;
    Dialog::OnOK();
}

bool AddressEditorDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_SYSCOMMAND) return false;
    switch (wParam & kSystemCommandMask) {
        case IDM_SYSTEM_ABOUT:
            OpenAbout();
            break;
        case IDM_SYSTEM_SETTINGS:
            OpenSettings();
            break;
        default:
            return false;
    }
    result = 0;
    return true;
}

}  // namespace marupo::editor
