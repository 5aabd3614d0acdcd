#include "ui/control.h"

#include <commctrl.h>

#include "ui/pending_exception.h"
#include "ui/window_text.h"

namespace marupo::ui {
Control::~Control() = default;

bool Control::Attach(HWND window) {
    if (window == nullptr) return false;
    if (window_ == window) return true;
    if (window_ != nullptr && IsWindow(window_)) return false;
    window_ = window;
    return true;
}

HWND Control::Detach() {
    HWND window = window_;
    window_ = nullptr;
    return window;
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return window_ != nullptr ? SendMessageA(window_, message, wParam, lParam) : 0;
}

void Control::Enable(bool enabled) {
    if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void Control::Show(bool visible) {
    if (window_ != nullptr) ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

std::string Control::Text() const {
    return WindowTextAnsi(window_);
}

void Control::SetText(const std::string& text) {
    SetWindowTextAnsi(window_, text);
}

int Control::CheckState() const {
    return static_cast<int>(Send(BM_GETCHECK));
}

void Control::SetCheckState(int state) {
    Send(BM_SETCHECK, static_cast<WPARAM>(state));
}

RECT Control::WindowRect() const {
    RECT rect{};
    if (window_ != nullptr) GetWindowRect(window_, &rect);
    return rect;
}

SubclassedControl::~SubclassedControl() {
    Detach();
}

bool SubclassedControl::Attach(HWND window) {
    if (Handle() == window && subclassed_) return true;
    if (!Control::Attach(window)) return false;
    if (!SetWindowSubclass(window, SubclassProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this))) {
        Control::Detach();
        return false;
    }
    subclassed_ = true;
    return true;
}

HWND SubclassedControl::Detach() {
    if (subclassed_ && Handle() != nullptr && IsWindow(Handle()))
        RemoveWindowSubclass(Handle(), SubclassProc, SubclassId());
    subclassed_ = false;
    return Control::Detach();
}

// Each object is its own subclass entry, so that two objects on one window never replace or
// remove each other's.
UINT_PTR SubclassedControl::SubclassId() const {
    return reinterpret_cast<UINT_PTR>(this);
}

LRESULT SubclassedControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT SubclassedControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(Handle(), message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<SubclassedControl*>(self);
    if (message == WM_NCDESTROY) {
        // The window goes away: unhook first so that nothing reaches the object afterwards.
        RemoveWindowSubclass(window, SubclassProc, control->SubclassId());
        control->subclassed_ = false;
        control->Control::Detach();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    try {
        return control->WindowProc(message, wParam, lParam);
    } catch (...) {
        detail::CapturePendingException(window);
        return 0;
    }
}

}  // namespace marupo::ui
