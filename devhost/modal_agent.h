#pragma once
// Keeps a scripted run from blocking on a window nobody is there to close: while it exists,
// every dialog that shows on this thread is handled once its modal loop runs. A
// message box is written to the call log and answered (as a script step says, else OK unless an
// answer was queued); any other dialog is logged and run by the script's dialog steps
// (dialog_script.h), or cancelled when no step waits for it.

#include <windows.h>

#include <deque>
#include <string>

#include "devhost/call_log.h"
#include "devhost/dialog_script.h"
#include "devhost/modal_watch.h"

namespace marupo::devhost {

class ModalAgent {
  public:
    explicit ModalAgent(CallLog& log);
    ModalAgent(const ModalAgent&) = delete;
    ModalAgent& operator=(const ModalAgent&) = delete;

    void AnswerNextMessageBox(int buttonId) { answers_.push_back(buttonId); }
    void SetScript(DialogScript* script) { script_ = script; }

  private:
    void Handle(HWND dialog);

    CallLog& log_;
    std::deque<int> answers_;
    DialogScript* script_ = nullptr;
    ModalWatch watch_{[this](HWND dialog) { Handle(dialog); }};  // last: it calls Handle
};

}  // namespace marupo::devhost
