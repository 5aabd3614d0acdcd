#pragma once
// The queued dialog steps of a script (dialog_step.h) and their run inside the add-in's modal
// loops. The dialog watcher offers it every dialog and message box in the order they appear;
// the steps of a dialog run on it until its `close`, waiting (bounded) in between for the
// dialogs and message boxes that their clicks open. The first failing step ends the run: the
// dialogs it drives are cancelled and the error names the step's line.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "devhost/dialog_step.h"
#include "devhost/status.h"

namespace marupo::devhost {

class DialogScript {
  public:
    // Resolves a screenshot file name as the script's other paths are.
    explicit DialogScript(std::function<std::string(const std::string&)> resolvePath)
        : resolvePath_(std::move(resolvePath)) {}

    void Queue(DialogStep step) { steps_.push_back(std::move(step)); }

    // A dialog that is not a message box: true when the steps took it (and ran on it).
    bool ClaimDialog(HWND dialog);
    // A message box: true, with the button to answer, when a `messagebox` step takes it.
    bool ClaimMessageBox(const std::wstring& text, int* answer);

    // After the command returned: steps still waiting fail the script.
    void Finish();
    bool Failed() const { return failedLine_ != 0; }
    int FailedLine() const { return failedLine_; }
    // The first failure, its message without the line.
    const Status& Outcome() const { return outcome_; }

  private:
    void Fail(int line, std::string message);
    bool RunSteps(HWND dialog, int dialogLine);
    bool WaitUntilTaken(const DialogStep* step, HWND dialog);
    Status Execute(const DialogStep& step, HWND dialog);
    std::string AppearedInstead() const;

    std::function<std::string(const std::string&)> resolvePath_;
    std::deque<DialogStep> steps_;
    std::string appeared_;  // the last window that no step took, for the error text
    Status outcome_;
    int failedLine_ = 0;
};

}  // namespace marupo::devhost
