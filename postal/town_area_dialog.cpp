#include "postal/town_area_dialog.h"

#include <algorithm>

#include "res/town_area_dialog.h"

namespace marupo {
namespace {

constexpr char kFullWidthBlank[] = "\x81\x40";  // 　

// What the file says, so that records that differ only in a note can be told apart: the town
// area as the file has it, a full-width blank, then prefecture and city. Typing the first
// character of a town area selects it.
std::string ChoiceText(const PostalAddress& record) {
    return record.street + kFullWidthBlank + record.prefecture + record.city;
}

}  // namespace

TownAreaDialog::TownAreaDialog(const std::vector<PostalAddress>& records)
    : Dialog(IDD_TOWN_AREA_CHOICE) {
    for (const PostalAddress& record : records) items_.push_back(ChoiceText(record));
    OnCommand(IDC_TOWN_AREA_LIST, LBN_DBLCLK, &TownAreaDialog::OnDoubleClick);
}

void TownAreaDialog::ExchangeData(ui::DataExchange& dx) {
    dx.Bind(IDC_TOWN_AREA_LIST, list_);
    if (!dx.FromControls()) return;
    const LRESULT selected = list_.Send(LB_GETCURSEL);
    if (selected >= 0) chosen_ = static_cast<std::size_t>(selected);
}

bool TownAreaDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    for (const std::string& item : items_) {
        list_.Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    list_.Send(LB_SETCURSEL, chosen_);
    FitHorizontalExtent();
    return true;  // the focus goes to the list, the first control
}

void TownAreaDialog::OnDoubleClick() {
    OnOK();
}

void TownAreaDialog::FitHorizontalExtent() {
    HDC dc = GetDC(list_.Handle());
    if (dc == nullptr) return;
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(list_.Send(WM_GETFONT));
    const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    LONG widest = 0;
    for (const std::string& item : items_) {
        SIZE size{};
        if (GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(item.size()), &size)) {
            widest = std::max(widest, size.cx);
        }
    }
    if (previous != nullptr) SelectObject(dc, previous);
    ReleaseDC(list_.Handle(), dc);
    // A few pixels for the item's margin.
    list_.Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8));
}

}  // namespace marupo
