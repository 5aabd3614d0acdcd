#pragma once
// The one way the stand-in host and the tests find the modal windows an add-in opens and answer
// them: while a watch exists, every dialog that shows on the calling thread (message
// boxes included) is handed to it once, as soon as the dialog's own modal loop runs. Watches
// nest; the innermost one gets the dialogs. What to do with a dialog is the owner's business
// (devhost/modal_agent.h for scripts, tests/support/modal_driver.h for tests).

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace marupo::devhost {

// What a message box shows.
struct MessageBoxContent {
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;  // the icon's handle as the box shows it; null without one
    int buttons = 0;       // visible buttons
    bool hasOk = false;    // one of them is IDOK
    HWND owner = nullptr;
};

class ModalWatch {
  public:
    explicit ModalWatch(std::function<void(HWND dialog)> onDialog);
    ~ModalWatch();
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    static std::wstring WindowText(HWND window);
    // Whether `window` is a list box (not a drop-down list).
    static bool IsListBox(HWND window);
    // The items of a drop-down list or a list box, in its order.
    static std::vector<std::wstring> ListItems(HWND list);
    // The selected item of a list box; empty when none is.
    static std::wstring SelectedItem(HWND listBox);
    static bool IsMessageBox(HWND dialog);
    static MessageBoxContent ReadMessageBox(HWND box);
    // Presses `button` of a dialog or message box as a click on it does, once the caller has
    // returned to the dialog's modal loop.
    static void Answer(HWND dialog, int button);

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND window, UINT, UINT_PTR id, DWORD);

    std::function<void(HWND)> onDialog_;
    HHOOK hook_ = nullptr;
    ModalWatch* outer_ = nullptr;
};

}  // namespace marupo::devhost
