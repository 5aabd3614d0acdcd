#include "ui/dialog.h"

#include "ui/module_state.h"
#include "ui/pending_exception.h"
#include "ui/window_text.h"

namespace marupo::ui {
namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

bool IsMainWindowCandidate(HWND window) {
    return IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr &&
           (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

BOOL CALLBACK FindThreadMainWindow(HWND window, LPARAM found) {
    if (!IsMainWindowCandidate(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK FindProcessMainWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsMainWindowCandidate(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A popup cannot be owned by a child window: climb to the first window that is not one.
HWND NonChildAncestor(HWND window) {
    while (window != nullptr && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0)
        window = GetParent(window);
    return window;
}

HWND TopLevelOf(HWND window) {
    HWND top = window;
    for (HWND next = window; next != nullptr; next = GetParent(next)) top = next;
    return top;
}

}  // namespace

HWND DefaultOwner() {
    HWND owner = GetActiveWindow();
    if (owner == nullptr)
        EnumThreadWindows(GetCurrentThreadId(), FindThreadMainWindow,
                          reinterpret_cast<LPARAM>(&owner));
    if (owner == nullptr) EnumWindows(FindProcessMainWindow, reinterpret_cast<LPARAM>(&owner));
    owner = NonChildAncestor(owner);
    // Prefer a popup the user worked in last, so that the dialog comes up above it.
    if (owner != nullptr) owner = GetLastActivePopup(owner);
    return owner;
}

void CenterWindow(HWND window, HWND on) {
    if (window == nullptr) return;
    if (on == nullptr) on = GetWindow(window, GW_OWNER);
    if (on != nullptr) {
        LONG style = GetWindowLongA(on, GWL_STYLE);
        if ((style & WS_VISIBLE) == 0 || (style & WS_MINIMIZE) != 0) on = nullptr;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(on != nullptr ? on : window, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT area = monitor.rcWork;
    RECT center = area;
    if (on != nullptr) GetWindowRect(on, &center);
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG left = (center.left + center.right) / 2 - width / 2;
    LONG top = (center.top + center.bottom) / 2 - height / 2;
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;
    SetWindowPos(window, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Dialog::Dialog(UINT templateId) : templateId_(templateId) {}

Dialog::Dialog(const DLGTEMPLATE* memoryTemplate) : memoryTemplate_(memoryTemplate) {}

Dialog::~Dialog() {
    if (window_ != nullptr && IsWindow(window_)) {
        // Nothing may reach this object once it is gone.
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (window_ != nullptr) return -1;
    owner = owner != nullptr ? NonChildAncestor(owner) : DefaultOwner();
    // The dialog box disables its owner; a top-level window above that owner is disabled too, so
    // that nothing of the calling application takes input while the dialog runs.
    HWND top = TopLevelOf(owner);
    if (top != nullptr && top != owner && IsWindowEnabled(top)) {
        EnableWindow(top, FALSE);
        disabledTop_ = top;
    }
    modal_ = true;
    INT_PTR result = memoryTemplate_ != nullptr
                         ? DialogBoxIndirectParamA(CurrentModule(), memoryTemplate_, owner,
                                                   DialogProc, reinterpret_cast<LPARAM>(this))
                         : DialogBoxParamA(CurrentModule(), MAKEINTRESOURCEA(templateId_), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    EnableDisabledTop();
    detail::RethrowPendingException();
    return result;
}

bool Dialog::Create(HWND parent) {
    if (window_ != nullptr) return false;
    modal_ = false;
    HWND window = memoryTemplate_ != nullptr
                      ? CreateDialogIndirectParamA(CurrentModule(), memoryTemplate_, parent,
                                                   DialogProc, reinterpret_cast<LPARAM>(this))
                      : CreateDialogParamA(CurrentModule(), MAKEINTRESOURCEA(templateId_), parent,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    try {
        detail::RethrowPendingException();
    } catch (...) {
        if (window != nullptr) DestroyWindow(window);
        throw;
    }
    return window != nullptr;
}

void Dialog::Show(bool visible) {
    if (window_ != nullptr) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Dialog::UpdateData(bool fromControls) {
    if (window_ == nullptr) return false;
    DataExchange dx(window_, fromControls);
    ExchangeData(dx);
    return !dx.Failed();
}

void Dialog::EndDialog(INT_PTR result) {
    if (!modal_ || window_ == nullptr) return;
    // Give the top-level window back before the dialog goes, so that activation returns to it.
    EnableDisabledTop();
    ::EndDialog(window_, result);
}

void Dialog::SetCaption(const std::string& text) {
    SetWindowTextAnsi(window_, text);
}

void Dialog::ExchangeData(DataExchange&) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() {
    // A page has no run of its own to end. It gets IDCANCEL from Esc in a multi-line edit of
    // its own, which closes its parent (the page) where any other edit's Esc reaches the dialog:
    // the dialog the page sits in is cancelled either way.
    if (!modal_ && window_ != nullptr && (GetWindowLongA(window_, GWL_STYLE) & WS_CHILD) != 0) {
        SendMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    EndDialog(IDCANCEL);
}

bool Dialog::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT Dialog::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Dialog::AddCommand(int firstId, int lastId, WORD code, std::function<void(int)> handler) {
    commands_.push_back({firstId, lastId, code, std::move(handler)});
}

void Dialog::AddNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler) {
    notifies_.push_back({id, code, std::move(handler)});
}

void Dialog::AddMessage(UINT message, std::function<LRESULT(WPARAM, LPARAM)> handler) {
    messages_.push_back({message, std::move(handler)});
}

void Dialog::EnableDisabledTop() {
    if (disabledTop_ != nullptr) {
        EnableWindow(disabledTop_, TRUE);
        disabledTop_ = nullptr;
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<Dialog*>(lParam);
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            self->window_ = window;
            return self->InitDialog();
        }
        auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
        if (self == nullptr) return FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, DWLP_USER, 0);
            self->window_ = nullptr;
            return FALSE;
        }
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        detail::CapturePendingException(window);
        return TRUE;
    }
}

INT_PTR Dialog::InitDialog() {
    RECT before{};
    GetWindowRect(window_, &before);
    BOOL defaultFocus = OnInitDialog() ? TRUE : FALSE;
    if (modal_ && window_ != nullptr) {
        // Centre a dialog that its initialisation left where the template put it, unless the
        // template positions it itself.
        RECT after{};
        GetWindowRect(window_, &after);
        LONG style = GetWindowLongA(window_, GWL_STYLE);
        HWND owner = GetWindow(window_, GW_OWNER);
        bool positioned = (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) != 0;
        bool moved = before.left != after.left || before.top != after.top;
        bool ownerActive = owner != nullptr && IsWindowEnabled(owner);
        if ((style & WS_VISIBLE) == 0 && !positioned && !moved && !ownerActive)
            CenterWindow(window_);
    }
    return defaultFocus;
}

bool Dialog::DispatchCommand(int id, WORD code) {
    for (const auto& entry : commands_) {
        if (id >= entry.firstId && id <= entry.lastId && code == entry.code) {
            entry.handler(id);
            return true;
        }
    }
    return false;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = false;
    if (message == WM_COMMAND) {
        int id = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        if (DispatchCommand(id, code)) {
            handled = true;
        } else if (id == IDOK && code <= 1) {
            OnOK();
            handled = true;
        } else if (id == IDCANCEL && code <= 1) {
            OnCancel();
            handled = true;
        }
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        for (const auto& entry : notifies_) {
            if (header != nullptr && static_cast<UINT_PTR>(entry.id) == header->idFrom &&
                entry.code == header->code) {
                result = entry.handler(header);
                handled = true;
                break;
            }
        }
    } else {
        for (const auto& entry : messages_) {
            if (entry.message == message) {
                result = entry.handler(wParam, lParam);
                handled = true;
                break;
            }
        }
    }
    if (!handled) handled = HandleMessage(message, wParam, lParam, result);
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    if (window_ != nullptr) SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace marupo::ui
