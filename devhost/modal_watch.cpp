#include "devhost/modal_watch.h"

#include <utility>

namespace marupo::devhost {
namespace {

ModalWatch* g_innermost = nullptr;        // of the thread that runs the dialogs
constexpr UINT_PTR kWatchTimer = 0x4D57;  // any id the dialogs watched do not use themselves
constexpr wchar_t kSeenProperty[] = L"MarupoModalSeen";

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK ScanBoxChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<MessageBoxContent*>(param);
    const std::wstring name = ClassName(child);
    if (_wcsicmp(name.c_str(), L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            box->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        } else if (box->text.empty()) {
            box->text = ModalWatch::WindowText(child);
        }
    } else if (_wcsicmp(name.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
        ++box->buttons;
        if (GetDlgCtrlID(child) == IDOK) box->hasOk = true;
    }
    return TRUE;
}

}  // namespace

ModalWatch::ModalWatch(std::function<void(HWND)> onDialog)
    : onDialog_(std::move(onDialog)), outer_(g_innermost) {
    g_innermost = this;
    hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

ModalWatch::~ModalWatch() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    g_innermost = outer_;
}

std::wstring ModalWatch::WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    // The length may overstate the text of an ANSI window; the copy tells the real one.
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool ModalWatch::IsListBox(HWND window) {
    return _wcsicmp(ClassName(window).c_str(), L"ListBox") == 0;
}

namespace {

// The text of item `index` of a list box or a drop-down list.
std::wstring ItemText(HWND list, bool listBox, WPARAM index) {
    const LRESULT length = SendMessageW(list, listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, listBox ? LB_GETTEXT : CB_GETLBTEXT, index,
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

std::vector<std::wstring> ModalWatch::ListItems(HWND list) {
    const bool listBox = IsListBox(list);
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        items.push_back(ItemText(list, listBox, static_cast<WPARAM>(i)));
    }
    return items;
}

std::wstring ModalWatch::SelectedItem(HWND listBox) {
    const LRESULT selected = SendMessageW(listBox, LB_GETCURSEL, 0, 0);
    return selected < 0 ? std::wstring() : ItemText(listBox, true, static_cast<WPARAM>(selected));
}

bool ModalWatch::IsMessageBox(HWND dialog) {
    // The text of a message box has id 0xFFFF on Windows and 100 on Wine; its icon is 1088.
    if (ClassName(dialog) != L"#32770") return false;
    HWND text = GetDlgItem(dialog, 0xFFFF);
    if (text == nullptr) text = GetDlgItem(dialog, 100);
    return text != nullptr && GetDlgItem(dialog, 1088) != nullptr;
}

MessageBoxContent ModalWatch::ReadMessageBox(HWND box) {
    MessageBoxContent content;
    content.caption = WindowText(box);
    content.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, ScanBoxChild, reinterpret_cast<LPARAM>(&content));
    return content;
}

void ModalWatch::Answer(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

LRESULT CALLBACK ModalWatch::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (g_innermost != nullptr && (code == HCBT_ACTIVATE || code == HCBT_CREATEWND) &&
        ClassName(window) == L"#32770" && GetPropW(window, kSeenProperty) == nullptr) {
        // Act once the dialog's own modal loop runs, not inside its creation or activation. A
        // loaded machine may never activate a dialog, so its creation sets a later timer too;
        // the activation brings it forward (a timer set again replaces the first). Until the
        // dialog shows, the dialogs its initialisation opens come first.
        if (code == HCBT_ACTIVATE) {
            SetTimer(window, kWatchTimer, 10, TimerProc);
        } else if ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0) {
            SetTimer(window, kWatchTimer, 1000, TimerProc);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalWatch::TimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (GetPropW(window, kSeenProperty) != nullptr) return;  // handed over already
    if (!IsWindowVisible(window)) {
        SetTimer(window, id, 100, TimerProc);
        return;
    }
    SetPropW(window, kSeenProperty, reinterpret_cast<HANDLE>(1));
    if (g_innermost != nullptr) g_innermost->onDialog_(window);
}

}  // namespace marupo::devhost
