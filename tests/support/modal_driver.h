#pragma once
// Drives modal windows from a test on the same thread: every dialog that shows (message
// boxes included) is handed to the next queued handler once its modal loop runs. Message boxes
// with no handler queued are recorded and answered with OK, so a test never blocks on one. The
// dialogs are found as the stand-in host finds them (devhost/modal_watch.h).

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "devhost/modal_watch.h"

namespace marupo::testing {

struct RecordedMessageBox {
    std::wstring caption;
    std::wstring text;
    bool exclamationIcon = false;
    bool onlyOkButton = false;
    HWND owner = nullptr;
};

class ModalDriver {
  public:
    using Handler = std::function<void(HWND dialog)>;

    ModalDriver() = default;  // watches the calling thread's dialogs
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // The next dialog that appears (not a message box) is given to `handler`; it must end the
    // dialog (for example by clicking a button) or the test hangs in that dialog's modal loop.
    void OnNextDialog(Handler handler);
    // The next message box is answered with `buttonId` instead of OK (and recorded as well).
    void AnswerNextMessageBox(int buttonId);

    const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
    std::vector<std::wstring> MessageTexts() const;
    void Clear() { boxes_.clear(); }
    int UnhandledDialogs() const { return unhandledDialogs_; }

    // A window of the test's own that the watch takes for a dialog (a page that lives for the
    // whole program): never handed to a handler.
    static void Ignore(HWND window);

    // Helpers for handlers.
    static std::wstring Text(HWND window) { return devhost::ModalWatch::WindowText(window); }
    static std::wstring ControlText(HWND dialog, int id);
    static void SetControlText(HWND dialog, int id, const std::wstring& text);
    static void Click(HWND dialog, int id);  // BM_CLICK: the control's own click, as a user's

  private:
    void Dispatch(HWND window);

    std::deque<Handler> dialogHandlers_;
    std::deque<int> boxAnswers_;
    std::vector<RecordedMessageBox> boxes_;
    int unhandledDialogs_ = 0;
    devhost::ModalWatch watch_{[this](HWND dialog) { Dispatch(dialog); }};  // last: it dispatches
};

}  // namespace marupo::testing
