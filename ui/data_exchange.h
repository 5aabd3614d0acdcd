#pragma once
// One data-exchange pass between a dialog's members and its controls. A dialog lists its fields in
// its fixed order in Dialog::ExchangeData; each call below moves one field in the pass's
// direction.
//
// Towards the controls: texts are replaced only when they differ (caret and selection survive),
// and each limited edit gets its typing limit in bytes.
// From the controls: a text longer than its byte limit is refused with the length message naming
// the limit; the focus goes to that control with its text selected, the field keeps its old value,
// and every later call of the pass does nothing, so later fields keep their old values too.

#include <windows.h>

#include <cstddef>
#include <string>

namespace marupo::ui {

class Control;

// The length message for a text over `limit` bytes: "255 文字以内で入力してください。".
std::wstring LengthMessage(std::size_t limit);

class DataExchange {
  public:
    static constexpr std::size_t kNoLimit = 0;

    // `dialog` is the window whose controls are exchanged (a dialog or a child page).
    DataExchange(HWND dialog, bool fromControls);

    bool FromControls() const { return fromControls_; }
    // True once a field has been refused; the rest of the pass is skipped.
    bool Failed() const { return failed_; }
    HWND Dialog() const { return dialog_; }

    // Text of an edit or static control. With a limit, an edit gets EM_LIMITTEXT(limit) towards
    // the control, and a longer text is refused from the control (statics are checked too).
    void Text(int id, std::string& value, std::size_t byteLimit = kNoLimit);

    // Check box state: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    void Check(int id, int& state);

    // Radio group starting at `firstId`: the index of the checked button, -1 for none. The group
    // is the run of radio buttons from `firstId` in window order up to the next control with
    // WS_GROUP. Towards the controls, exactly the button at `index` is checked (none for -1 or an
    // index outside the group).
    void Radio(int firstId, int& index);

    // Binds `control` to the dialog's control `id` (in either direction; binding twice is
    // harmless). Binding a SubclassedControl subclasses the control.
    void Bind(int id, Control& control);

    // Refuses the field of control `id` as the length check does, with `message`; for checks of
    // the dialog's own.
    void Fail(int id, const std::wstring& message);

  private:
    HWND Item(int id) const;

    HWND dialog_;
    bool fromControls_;
    bool failed_ = false;
};

}  // namespace marupo::ui
