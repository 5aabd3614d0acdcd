#pragma once
// The note page: the second tab of the editor (dialog 304), one multi-line edit for the entry's
// note.

#include "entry/address_entry.h"
#include "ui/dialog.h"

namespace marupo::editor {

class NotePage final : public ui::Dialog {
  public:
    // The page edits `edited.note`; the entry is the frame's and outlives the page.
    explicit NotePage(AddressEntry& edited);

  protected:
    void ExchangeData(ui::DataExchange& dx) override;

  private:
    AddressEntry& entry_;
};

}  // namespace marupo::editor
