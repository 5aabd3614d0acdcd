#pragma once
// The script statements that drive the dialogs an add-in opens: parsed here, queued before
// `invoke`, and carried out inside the add-in's modal loops (dialog_script.h).

#include <string>

#include "devhost/script.h"

namespace marupo::devhost {

struct DialogStep {
    enum class Kind {
        kDialog,      // dialog "TITLE": wait for the next dialog, which must have this title
        kMessageBox,  // messagebox "TEXT" [BUTTON]: the next message box, answered with BUTTON
        kSet,         // set ID "TEXT"
        kClick,       // click ID
        kCheck,       // check ID
        kUncheck,     // uncheck ID
        kChoose,      // choose ID "ITEM"
        kTab,         // tab "CAPTION"
        kExpect,      // expect ID "TEXT"
        kIme,         // ime ID "READING" "TEXT"
        kScreenshot,  // screenshot FILE
        kClose,       // close OK|CANCEL|ID
    };

    Kind kind = Kind::kDialog;
    int line = 0;
    int control = 0;           // control id, or the button of kMessageBox and kClose
    std::u16string text;       // title, message, control text, item, tab caption or reading
    std::u16string committed;  // kIme: the converted text
    std::string path;          // kScreenshot, as written (the runner resolves it)
};

bool IsDialogStepKeyword(const std::string& keyword);
// Parses a line whose keyword IsDialogStepKeyword; the error text, or empty.
std::string ParseDialogStep(const ScriptLine& line, DialogStep* step);
// A message-box button by name (OK, CANCEL, YES, NO, ABORT, RETRY, IGNORE) or number.
bool ParseButton(const std::string& word, int* id);

}  // namespace marupo::devhost
