#include "devhost/modal_agent.h"

#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

ModalAgent* g_agent = nullptr;  // the innermost agent of the thread that runs the host
constexpr UINT_PTR kAgentTimer = 0x4448;
constexpr wchar_t kSeenProperty[] = L"MarupoDevHostSeen";

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string Quote(const std::wstring& text) {
    return QuoteText(std::u16string(text.begin(), text.end()));
}

struct BoxText {
    std::wstring text;
};

BOOL CALLBACK FindText(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<BoxText*>(param);
    if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON && box->text.empty()) {
        box->text = ModalAgent::WindowText(child);
    }
    return TRUE;
}

}  // namespace

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WaitAndPumpMessages(DWORD milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    PumpPendingMessages();
}

ModalAgent::ModalAgent(CallLog& log) : log_(log), previous_(g_agent) {
    g_agent = this;
    hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

ModalAgent::~ModalAgent() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    g_agent = previous_;
}

std::wstring ModalAgent::WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool ModalAgent::IsMessageBox(HWND dialog) {
    // The text of a message box has id 0xFFFF on Windows and 100 on Wine; its icon is 1088.
    if (ClassName(dialog) != L"#32770") return false;
    HWND text = GetDlgItem(dialog, 0xFFFF);
    if (text == nullptr) text = GetDlgItem(dialog, 100);
    return text != nullptr && GetDlgItem(dialog, 1088) != nullptr;
}

LRESULT CALLBACK ModalAgent::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_agent != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (ClassName(window) == L"#32770" && GetPropW(window, kSeenProperty) == nullptr) {
            // Act once the dialog's own modal loop runs, not inside its activation.
            SetPropW(window, kSeenProperty, reinterpret_cast<HANDLE>(1));
            SetTimer(window, kAgentTimer, 10, TimerProc);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalAgent::TimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    RemovePropW(window, kSeenProperty);
    SetPropW(window, kSeenProperty, reinterpret_cast<HANDLE>(2));
    if (g_agent != nullptr) g_agent->Handle(window);
}

void ModalAgent::Handle(HWND dialog) {
    std::wstring caption = WindowText(dialog);
    if (IsMessageBox(dialog)) {
        ++messageBoxes_;
        BoxText box;
        EnumChildWindows(dialog, FindText, reinterpret_cast<LPARAM>(&box));
        int answer = IDOK;
        const bool claimed = script_ != nullptr && script_->ClaimMessageBox(box.text, &answer);
        if (!claimed && !answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        log_.Event("messagebox " + Quote(caption) + " " + Quote(box.text) + " answered " +
                   std::to_string(answer));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        return;
    }
    log_.Event("dialog " + Quote(caption));
    if (script_ != nullptr && script_->ClaimDialog(dialog)) return;
    log_.Event("dialog " + Quote(caption) + " cancelled: no script steps for it");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace marupo::devhost
