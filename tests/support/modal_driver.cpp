#include "tests/support/modal_driver.h"

#include <algorithm>

namespace marupo::testing {
namespace {

ModalDriver* g_driver = nullptr;
constexpr UINT_PTR kDriveTimer = 0x4D52;  // any id not used by the dialogs under test

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct BoxScan {
    std::wstring text;
    bool icon = false;
    HICON iconHandle = nullptr;
    int buttons = 0;
    bool hasOk = false;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM param) {
    auto* scan = reinterpret_cast<BoxScan*>(param);
    std::wstring cls = ClassName(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            scan->icon = true;
            scan->iconHandle = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        } else if (scan->text.empty()) {
            scan->text = ModalDriver::Text(child);
        }
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
        ++scan->buttons;
        if (GetDlgCtrlID(child) == IDOK) scan->hasOk = true;
    }
    return TRUE;
}

}  // namespace

ModalDriver::ModalDriver() {
    g_driver = this;
    hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

ModalDriver::~ModalDriver() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    g_driver = nullptr;
}

void ModalDriver::OnNextDialog(Handler handler) { dialogHandlers_.push_back(std::move(handler)); }

void ModalDriver::AnswerNextMessageBox(int buttonId) { boxAnswers_.push_back(buttonId); }

std::vector<std::wstring> ModalDriver::MessageTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes_) texts.push_back(box.text);
    return texts;
}

std::wstring ModalDriver::Text(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    // The length may overstate the text of an ANSI window; the copy tells the real one.
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, copied)));
    return text;
}

std::wstring ModalDriver::ControlText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

void ModalDriver::SetControlText(HWND dialog, int id, const std::wstring& text) {
    SetWindowTextW(GetDlgItem(dialog, id), text.c_str());
}

void ModalDriver::Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool ModalDriver::IsMessageBox(HWND dialog) {
    // A message box has no control ids of its own beyond its buttons, its icon and its text;
    // Windows gives the text id 0xFFFF, Wine 100.
    if (ClassName(dialog) != L"#32770") return false;
    HWND text = GetDlgItem(dialog, 0xFFFF);
    if (text == nullptr) text = GetDlgItem(dialog, 100);
    return text != nullptr && GetDlgItem(dialog, 1088) != nullptr;
}

LRESULT CALLBACK ModalDriver::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_driver != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (ClassName(window) == L"#32770" && GetPropW(window, L"MarupoDriven") == nullptr) {
            // Act once the dialog's own modal loop runs, not inside its activation.
            SetPropW(window, L"MarupoDriven", reinterpret_cast<HANDLE>(1));
            SetTimer(window, kDriveTimer, 10, TimerProc);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalDriver::TimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (g_driver != nullptr) g_driver->Dispatch(window);
}

void ModalDriver::Dispatch(HWND window) {
    if (IsMessageBox(window)) {
        BoxScan scan;
        EnumChildWindows(window, ScanChild, reinterpret_cast<LPARAM>(&scan));
        RecordedMessageBox box;
        box.caption = Text(window);
        box.text = scan.text;
        box.exclamationIcon = scan.iconHandle != nullptr &&
                              scan.iconHandle == LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
        box.onlyOkButton = scan.buttons == 1 && scan.hasOk;
        box.owner = GetWindow(window, GW_OWNER);
        boxes_.push_back(box);
        int answer = IDOK;
        if (!boxAnswers_.empty()) {
            answer = boxAnswers_.front();
            boxAnswers_.pop_front();
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        return;
    }
    if (dialogHandlers_.empty()) {
        // Nobody expected this dialog: close it so that the test fails instead of hanging.
        ++unhandledDialogs_;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    Handler handler = std::move(dialogHandlers_.front());
    dialogHandlers_.pop_front();
    handler(window);
}

}  // namespace marupo::testing
