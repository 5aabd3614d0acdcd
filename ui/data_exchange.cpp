#include "ui/data_exchange.h"

#include "ui/control.h"
#include "ui/message_box.h"
#include "ui/window_text.h"

namespace marupo::ui {
namespace {

bool IsClass(HWND window, const char* name) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

bool IsRadioButton(HWND window) {
    if (!IsClass(window, "Button")) return false;
    LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

}  // namespace

std::wstring LengthMessage(std::size_t limit) {
    return std::to_wstring(limit) + L" 文字以内で入力してください。";
}

DataExchange::DataExchange(HWND dialog, bool fromControls)
    : dialog_(dialog), fromControls_(fromControls) {}

HWND DataExchange::Item(int id) const {
    return GetDlgItem(dialog_, id);
}

void DataExchange::Text(int id, std::string& value, std::size_t byteLimit) {
    if (failed_) return;
    HWND control = Item(id);
    if (control == nullptr) return;
    if (!fromControls_) {
        SetWindowTextAnsiIfDifferent(control, value);
        if (byteLimit != kNoLimit && IsClass(control, "Edit"))
            SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(byteLimit), 0);
        return;
    }
    std::string text = WindowTextAnsi(control);
    if (byteLimit != kNoLimit && text.size() > byteLimit) {
        Fail(id, LengthMessage(byteLimit));
        return;
    }
    value = std::move(text);
}

void DataExchange::Check(int id, int& state) {
    if (failed_) return;
    HWND control = Item(id);
    if (control == nullptr) return;
    if (fromControls_) {
        state = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        int shown = state == BST_CHECKED || state == BST_INDETERMINATE ? state : BST_UNCHECKED;
        SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(shown), 0);
    }
}

void DataExchange::Radio(int firstId, int& index) {
    if (failed_) return;
    HWND button = Item(firstId);
    if (button == nullptr) return;
    const HWND first = button;
    int found = -1;
    int position = 0;
    for (; button != nullptr; button = GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (GetWindowLongA(button, GWL_STYLE) & WS_GROUP) != 0) break;
        if (!IsRadioButton(button)) continue;  // a label inside the group takes no index
        if (fromControls_) {
            if (found < 0 && SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                found = position;
        } else {
            SendMessageA(button, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++position;
    }
    if (fromControls_) index = found;
}

void DataExchange::Bind(int id, Control& control) {
    if (failed_) return;
    HWND window = Item(id);
    if (window != nullptr) control.Attach(window);
}

void DataExchange::Fail(int id, const std::wstring& message) {
    if (failed_) return;
    failed_ = true;
    HWND control = Item(id);
    HWND owner = dialog_ != nullptr ? GetAncestor(dialog_, GA_ROOT) : nullptr;
    ShowMessage(message, owner);
    if (control == nullptr) return;
    SetFocus(control);
    if (IsClass(control, "Edit")) SendMessageA(control, EM_SETSEL, 0, -1);
}

}  // namespace marupo::ui
