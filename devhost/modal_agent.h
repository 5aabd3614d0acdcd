#pragma once
// Keeps a scripted run from blocking on a window nobody is there to close: while it exists,
// every dialog that becomes active on this thread is handled once its modal loop runs. A
// message box is written to the call log and answered (OK unless an answer was queued); any
// other dialog goes to the next queued handler, or is logged and cancelled when none is queued.
// Handlers are where scripted dialog steps (set a control's text, click a button) plug in.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "devhost/call_log.h"

namespace marupo::devhost {

class ModalAgent {
  public:
    using Handler = std::function<void(HWND dialog)>;

    explicit ModalAgent(CallLog& log);
    ~ModalAgent();
    ModalAgent(const ModalAgent&) = delete;
    ModalAgent& operator=(const ModalAgent&) = delete;

    void AnswerNextMessageBox(int buttonId) { answers_.push_back(buttonId); }
    void OnNextDialog(Handler handler) { handlers_.push_back(std::move(handler)); }
    int MessageBoxCount() const { return messageBoxes_; }

    static bool IsMessageBox(HWND dialog);
    static std::wstring WindowText(HWND window);

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND window, UINT, UINT_PTR id, DWORD);
    void Handle(HWND dialog);

    CallLog& log_;
    HHOOK hook_ = nullptr;
    ModalAgent* previous_ = nullptr;
    std::deque<int> answers_;
    std::deque<Handler> handlers_;
    int messageBoxes_ = 0;
};

}  // namespace marupo::devhost
