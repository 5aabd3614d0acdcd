#pragma once
// The address editor (dialog 301): a modal frame with the address page and the note page on its
// tabs, the category list, the private box, and buttons for the settings dialog and the about
// box. It edits one entry in place: the pages edit their fields of it, the frame its category and
// private flag; the commands read the entry after a run that ended with OK.

#include <windows.h>

#include <string>
#include <vector>

#include "editor/address_page.h"
#include "editor/category_list.h"
#include "editor/ime_reading_source.h"
#include "editor/note_page.h"
#include "entry/address_entry.h"
#include "settings/postal_settings.h"
#include "ui/control.h"
#include "ui/dialog.h"
#include "ui/resources.h"

namespace marupo::editor {

class AddressEditorDialog final : public ui::Dialog {
  public:
    // `edited` is filled by the command (its hostCategories and editsExisting included) and
    // outlives the dialog.
    explicit AddressEditorDialog(AddressEntry& edited);

    // Runs the editor modally, owned as any dialog without an owner is: IDOK or IDCANCEL. A host
    // error while the category list is read ends the run and is thrown again from here.
    INT_PTR Run();

    // The seam to the input method for the address page's reading capture; call before Run.
    void SetReadingSource(ImeReadingSource& source) { addressPage_.SetReadingSource(source); }

    const PostalSettings& Settings() const { return settings_; }

  protected:
    void ExchangeData(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void AddSystemMenuItems();
    void FillCategoryList();
    void OpenSettings();
    void OpenAbout();
    LRESULT SwitchPage(NMHDR*);
    void TakeSelectedCategory();

    AddressEntry& entry_;
    PostalSettings settings_;
    AddressPage addressPage_{entry_, settings_};
    NotePage notePage_{entry_};
    std::vector<CategoryItem> categoryItems_;  // the drop-down's items, in its order
    ui::Control privateCheck_;
    ui::Control categoryList_;
    ui::Control tabs_;
    std::string spareText_;  // static 363, kept empty
    win::UniqueIcon smallIcon_;
};

}  // namespace marupo::editor
