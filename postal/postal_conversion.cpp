#include "postal/postal_conversion.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "postal/address_update_dialog.h"
#include "postal/postal_code.h"
#include "postal/postal_merge.h"
#include "postal/postal_search.h"
#include "postal/town_area_dialog.h"
#include "ui/message_box.h"

namespace marupo {
namespace {

// Puts the focus back where it was once the message boxes and the dialog are gone. A dialog
// frame restores it by itself when it is activated again; a plain frame window would keep it.
class FocusKeeper {
  public:
    FocusKeeper() : focus_(GetFocus()) {}
    ~FocusKeeper() {
        if (focus_ != nullptr && IsWindow(focus_) && GetFocus() != focus_) SetFocus(focus_);
    }
    FocusKeeper(const FocusKeeper&) = delete;
    FocusKeeper& operator=(const FocusKeeper&) = delete;

  private:
    HWND focus_;
};

}  // namespace

void ConvertPostalCode(PostalConversionPage& page) {
    // A refused transfer has told the user why already. Going on would write the older values of
    // the fields it did not reach back into their controls, over what the user typed there.
    if (!page.TakeControlValues()) return;
    FocusKeeper focus;

    AddressEntry& values = page.Values();
    std::string sevenDigits;
    if (!NormalizePostalCode(values.postalCode, sevenDigits)) {
        ui::ShowMessage(L"郵便番号が不正です");
        return;
    }
    postal::PostalRecords records;
    if (!SearchPostalFiles(sevenDigits, page.Settings(), records)) return;
    // Where the code has several town areas, the user says which one is meant; Cancel ends the
    // conversion with nothing changed. A business office's code names its office.
    std::size_t chosen = 0;
    if (records.kind == postal::PostalFileKind::kNationwide && records.records.size() > 1) {
        TownAreaDialog chooser(records.records);
        if (chooser.DoModal() != IDOK) return;
        chosen = std::min(chooser.Chosen(), records.records.size() - 1);
    }
    PostalAddress& found = page.LastResult();
    found = records.records[chosen];
    postal::FinishAddress(found, records.kind, page.Settings());

    if (HoldsNoAddress(values)) {
        FillAddress(values, found);
    } else {
        AddressUpdateDialog dialog(PrepareAddressUpdate(values, found, sevenDigits));
        if (dialog.DoModal() == IDOK) ApplyAddressUpdate(dialog.Values(), values);
    }
    // Also after Cancel: the page shows its values as they stand.
    page.ShowValues();
}

}  // namespace marupo
