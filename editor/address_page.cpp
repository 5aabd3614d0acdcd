#include "editor/address_page.h"

#include <optional>

#include "editor/address_page_text.h"
#include "entry/contact_label.h"
#include "res/address_page.h"
#include "res/strings.h"
#include "ui/module_state.h"
#include "ui/resources.h"
#include "ui/window_text.h"

namespace marupo::editor {
namespace {

constexpr std::size_t kFieldLimit = 255;
constexpr int kCustomFieldIds[kCustomFieldCount] = {IDC_ADDR_CUSTOM_FIELD0, IDC_ADDR_CUSTOM_FIELD1,
                                                    IDC_ADDR_CUSTOM_FIELD2, IDC_ADDR_CUSTOM_FIELD3};
// Where the label menu opens, relative to the top-right corner of the slot's radio button.
constexpr int kMenuOffsetX = -10;
constexpr int kMenuOffsetY = -4;

}  // namespace

AddressPage::AddressPage(AddressEntry& edited, const PostalSettings& settings)
    : Dialog(IDD_ADDRESS_PAGE), entry(edited), settings_(settings) {
    OnCommand(IDC_ADDR_CONVERT_POSTAL, BN_CLICKED, &AddressPage::ConvertPostal);
    OnCommandRange(IDC_ADDR_LABEL_BUTTON0, IDC_ADDR_LABEL_BUTTON4, BN_CLICKED,
                   &AddressPage::OpenLabelMenu);
    OnCommandRange(IDC_ADDR_PRIMARY_RADIO0, IDC_ADDR_PRIMARY_RADIO4, BN_CLICKED,
                   &AddressPage::ChoosePrimarySlot);
    OnCommandRange(ID_LABEL_COMPANY, ID_LABEL_OTHER, 0, &AddressPage::ChangeLabel);
    OnMessage(WM_READING_CAPTURED, &AddressPage::OnReadingCaptured);
}

void AddressPage::SetReadingSource(ImeReadingSource& source) {
    surnameEdit_.SetReadingSource(source);
    givenNameEdit_.SetReadingSource(source);
    companyEdit_.SetReadingSource(source);
}

void AddressPage::ExchangeData(ui::DataExchange& dx) {
    dx.Bind(IDC_ADDR_SURNAME, surnameEdit_);
    dx.Bind(IDC_ADDR_GIVEN_NAME, givenNameEdit_);
    dx.Bind(IDC_ADDR_COMPANY, companyEdit_);
    dx.Bind(IDC_ADDR_SURNAME_READING, surnameReadingEdit_);
    dx.Bind(IDC_ADDR_GIVEN_NAME_READING, givenNameReadingEdit_);
    dx.Bind(IDC_ADDR_COMPANY_READING, companyReadingEdit_);
    for (int i = 0; i < kContactSlotCount; ++i)
        dx.Bind(IDC_ADDR_PRIMARY_RADIO0 + i, primaryRadios_[static_cast<std::size_t>(i)]);

    // The fixed transfer order; each limited field is checked right after its own transfer.
    dx.Text(IDC_ADDR_GIVEN_NAME, entry.givenName);  // the given name has no limit of its own
    dx.Text(IDC_ADDR_GIVEN_NAME_READING, entry.givenNameReading, kFieldLimit);
    dx.Text(IDC_ADDR_SURNAME_READING, entry.surnameReading, kFieldLimit);
    dx.Text(IDC_ADDR_SURNAME, entry.surname, kFieldLimit);
    dx.Text(IDC_ADDR_TITLE, entry.title, kFieldLimit);
    dx.Text(IDC_ADDR_COMPANY, entry.company, kFieldLimit);
    dx.Text(IDC_ADDR_POSTAL_CODE, entry.postalCode, kFieldLimit);
    dx.Text(IDC_ADDR_PREFECTURE, entry.prefecture, kFieldLimit);
    dx.Text(IDC_ADDR_CITY, entry.city, kFieldLimit);
    dx.Text(IDC_ADDR_STREET, entry.street, kFieldLimit);
    dx.Text(IDC_ADDR_COUNTRY, entry.country, kFieldLimit);
    dx.Text(IDC_ADDR_COMPANY_READING, entry.companyReading, kFieldLimit);
    for (int i = 0; i < kContactSlotCount; ++i)
        dx.Text(IDC_ADDR_CONTACT_TEXT0 + i, entry.contactSlots[static_cast<std::size_t>(i)].text,
                kFieldLimit);
    for (int k = 0; k < kCustomFieldCount; ++k)
        dx.Text(kCustomFieldIds[k], entry.customFields[static_cast<std::size_t>(k)], kFieldLimit);
    dx.Radio(IDC_ADDR_PRIMARY_RADIO0, entry.primarySlot);
    dx.Text(IDC_ADDR_PRIMARY_LINE, primaryLine_, kFieldLimit);
    for (int k = 0; k < kCustomFieldCount; ++k)
        dx.Text(IDC_ADDR_CUSTOM_LABEL0 + k, entry.customLabels[static_cast<std::size_t>(k)]);
}

bool AddressPage::OnInitDialog() {
    UpdateData(false);
    ShowRadioCaptions();
    if (readingLocked) {
        surnameReadingEdit_.Enable(false);
        givenNameReadingEdit_.Enable(false);
        companyReadingEdit_.Enable(false);
    }
    surnameEdit_.SetCaptureEnabled(!readingLocked);
    givenNameEdit_.SetCaptureEnabled(!readingLocked);
    companyEdit_.SetCaptureEnabled(!readingLocked);
    // The controls hold exactly the fields just shown, so the line is built from the fields: a
    // value from the host over a limit must not bring up the length message before any typing.
    ShowPrimaryLine();
    return false;  // the frame puts the focus on the surname
}

void AddressPage::ConvertPostal() {
    ConvertPostalCode(*this);
}

void AddressPage::OpenLabelMenu(int buttonId) {
    const int slot = buttonId - IDC_ADDR_LABEL_BUTTON0;
    ui::AddinModuleScope scope;
    ui::PopupMenu menu(IDR_LABEL_MENU);
    if (!menu.Loaded()) return;
    const RECT radio = primaryRadios_[static_cast<std::size_t>(slot)].WindowRect();
    menu.CheckItem(
        ContactLabelMenuId(entry.contactSlots[static_cast<std::size_t>(slot)].labelIndex), true);
    // Whether the menu's command arrives after the menu has closed or at once, it is for this slot.
    menuSlot_ = slot;
    menu.Track(Handle(), radio.right + kMenuOffsetX, radio.top + kMenuOffsetY);
}

void AddressPage::ChoosePrimarySlot(int radioId) {
    entry.primarySlot = radioId - IDC_ADDR_PRIMARY_RADIO0;
    RefreshPrimaryLine();
}

void AddressPage::ChangeLabel(int commandId) {
    const std::optional<std::int32_t> label =
        ContactLabelFromMenuId(static_cast<unsigned>(commandId));
    if (!label) return;  // 32771 is no label item
    entry.contactSlots[static_cast<std::size_t>(menuSlot_)].labelIndex = *label;
    ShowRadioCaptions();
    RefreshPrimaryLine();
}

LRESULT AddressPage::OnReadingCaptured(WPARAM target, LPARAM) {
    if (readingLocked) return 0;
    // A refused field has been reported; writing the fields back now would replace what the
    // user typed after it with older values.
    if (!UpdateData(true)) return 0;
    const auto targetValue = static_cast<std::int32_t>(target);
    if (ReadingCaptureEdit* edit = CaptureEditFor(targetValue))
        AppendReading(entry, targetValue, edit->CapturedReading());
    UpdateData(false);
    return 0;
}

void AddressPage::ShowRadioCaptions() {
    for (std::size_t i = 0; i < radioCaptions_.size(); ++i) {
        radioCaptions_[i] = RadioCaption(entry.contactSlots[i].labelIndex);
        primaryRadios_[i].SetText(radioCaptions_[i]);
    }
}

void AddressPage::RefreshPrimaryLine() {
    if (!UpdateData(true)) {
        // Leave every field as the user has it; only the line follows the radio buttons.
        ui::DataExchange radios(Handle(), true);
        radios.Radio(IDC_ADDR_PRIMARY_RADIO0, entry.primarySlot);
        ShowPrimaryLine();
        return;
    }
    primaryLine_ = BuildPrimaryLine();
    UpdateData(false);
}

void AddressPage::ShowPrimaryLine() {
    primaryLine_ = BuildPrimaryLine();
    ui::SetWindowTextAnsiIfDifferent(Item(IDC_ADDR_PRIMARY_LINE), primaryLine_);
}

std::string AddressPage::BuildPrimaryLine() const {
    ui::AddinModuleScope scope;
    return PrimaryLine(entry, ui::LoadAnsiString(IDS_PRIMARY_CONTACT_SUFFIX));
}

ReadingCaptureEdit* AddressPage::CaptureEditFor(std::int32_t target) {
    switch (target) {
        case kReadingSurname:
            return &surnameEdit_;
        case kReadingGivenName:
            return &givenNameEdit_;
        case kReadingCompany:
            return &companyEdit_;
        default:
            return nullptr;
    }
}

}  // namespace marupo::editor
