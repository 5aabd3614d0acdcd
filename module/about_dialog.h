#pragma once
// The about box (dialog 307): the add-in's version and a link to the user guide installed beside
// the DLL, drawn in blue and underlined, with a hand cursor over it.

#include <string>

#include "ui/dialog.h"
#include "ui/resources.h"

namespace marupo {

class AboutDialog final : public ui::Dialog {
  public:
    AboutDialog();

    std::string versionText;  // shown in static 353

    // Opens the box as the editor does: the version from the string table, no owner given.
    static void Show();

  protected:
    void ExchangeData(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void OpenGuide();

    win::UniqueFont linkFont_;
};

}  // namespace marupo
