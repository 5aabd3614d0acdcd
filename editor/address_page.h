#pragma once
// The address page: the first tab of the editor (dialog 303), a modeless child dialog that shows
// and edits every field of the entry except the note, the category and the private flag. Besides
// the plain fields it captures readings from the input method, lets the user pick each contact
// slot's label from a popup menu and runs the postal-code conversion.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "editor/ime_reading_source.h"
#include "editor/reading_capture_edit.h"
#include "entry/address_entry.h"
#include "postal/postal_address.h"
#include "postal/postal_conversion.h"
#include "settings/postal_settings.h"
#include "ui/control.h"
#include "ui/dialog.h"

namespace marupo::editor {

class AddressPage final : public ui::Dialog, public PostalConversionPage {
  public:
    // The page edits the fields of `edited` other than the note, the category and the private
    // flag, which belong to the other parts of the editor; the postal-code search reads
    // `settings`. Both are the frame's and outlive the page.
    AddressPage(AddressEntry& edited, const PostalSettings& settings);

    AddressEntry& entry;
    bool readingLocked = false;  // editing an existing record: readings fixed, no capture
    PostalAddress postalResult;  // the last lookup's result

    // The seam to the input method; tests feed readings through it. Call before Create.
    void SetReadingSource(ImeReadingSource& source);

    // Derived display values.
    const std::array<std::string, kContactSlotCount>& RadioCaptions() const {
        return radioCaptions_;
    }
    int MenuSlot() const { return menuSlot_; }

    // PostalConversionPage: the page's exchange and values as the conversion sees them.
    bool TakeControlValues() override { return UpdateData(true); }
    void ShowValues() override { UpdateData(false); }
    AddressEntry& Values() override { return entry; }
    const PostalSettings& Settings() const override { return settings_; }
    PostalAddress& LastResult() override { return postalResult; }

  protected:
    void ExchangeData(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

  private:
    void ConvertPostal();
    void OpenLabelMenu(int buttonId);
    void ChoosePrimarySlot(int radioId);
    void ChangeLabel(int commandId);
    LRESULT OnReadingCaptured(WPARAM target, LPARAM);

    void ShowRadioCaptions();
    void RefreshPrimaryLine();
    void ShowPrimaryLine();
    std::string BuildPrimaryLine() const;
    ReadingCaptureEdit* CaptureEditFor(std::int32_t target);

    const PostalSettings& settings_;
    ReadingCaptureEdit surnameEdit_{1};
    ReadingCaptureEdit givenNameEdit_{2};
    ReadingCaptureEdit companyEdit_{3};
    ui::Control surnameReadingEdit_;
    ui::Control givenNameReadingEdit_;
    ui::Control companyReadingEdit_;
    std::array<ui::Control, kContactSlotCount> primaryRadios_;

    std::array<std::string, kContactSlotCount> radioCaptions_;
    std::string primaryLine_;  // shown in static 344
    int menuSlot_ = 0;         // the slot whose label menu was opened last
};

}  // namespace marupo::editor
