#pragma once
// The script statements that drive the dialogs an add-in opens: parsed here, queued before
// `invoke`, and carried out inside the add-in's modal loops (dialog_script.h).

#include <optional>
#include <string>
#include <vector>

#include "devhost/script.h"
#include "devhost/status.h"

namespace marupo::devhost {

// One key pressed and released, with the modifiers held down around it.
struct KeyStroke {
    int virtualKey = 0;  // a Windows virtual-key code
    bool shift = false;
    bool control = false;
    bool alt = false;

    bool operator==(const KeyStroke& other) const {
        return virtualKey == other.virtualKey && shift == other.shift && control == other.control &&
               alt == other.alt;
    }
};

struct DialogStep {
    enum class Kind {
        kDialog,         // dialog "TITLE": wait for the next dialog, which must have this title
        kMessageBox,     // messagebox "TEXT" [BUTTON]: the next message box, answered with BUTTON
        kSet,            // set ID "TEXT"
        kClick,          // click ID
        kCheck,          // check ID
        kUncheck,        // uncheck ID
        kChoose,         // choose ID "ITEM"
        kTab,            // tab "CAPTION"
        kExpect,         // expect ID "TEXT"
        kIme,            // ime ID "READING" "TEXT"
        kScreenshot,     // screenshot FILE
        kClose,          // close OK|CANCEL|ID
        kKey,            // key ID KEY...
        kExpectChecked,  // expect-checked ID 0|1
        kExpectEnabled,  // expect-enabled ID 0|1
        kExpectItems,    // expect-items ID "ITEM"...
    };

    Kind kind = Kind::kDialog;
    int line = 0;
    int control = 0;              // control id, or the button of kMessageBox and kClose
    std::u16string text;          // title, message, control text, item, tab caption or reading
    std::u16string committed;     // kIme: the converted text
    std::string path;             // kScreenshot, as written (the runner resolves it)
    std::vector<KeyStroke> keys;  // kKey
    bool state = false;           // kExpectChecked, kExpectEnabled
    std::vector<std::u16string> items;  // kExpectItems
};

bool IsDialogStepKeyword(const std::string& keyword);
// Parses a line whose keyword IsDialogStepKeyword.
Result<DialogStep> ParseDialogStep(const ScriptLine& line);
// A message-box button by name (OK, CANCEL, YES, NO, ABORT, RETRY, IGNORE) or number.
std::optional<int> ParseButton(const std::string& word);
// A key by name (Escape, Enter, Tab, Space, Backspace, Delete, Insert, Left, Right, Up, Down,
// Home, End, PageUp, PageDown, F1..F12, a letter or a digit), after any of Shift+, Ctrl+ and
// Alt+.
std::optional<KeyStroke> ParseKey(const std::string& word);

}  // namespace marupo::devhost
