#include "devhost/dialog_script.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "devhost/ime_composition.h"
#include "devhost/modal_agent.h"
#include "devhost/text_codec.h"
#include "ui/message_pump.h"
#include "win/unique_handle.h"

namespace marupo::devhost {
namespace {

using Kind = DialogStep::Kind;
using ui::WaitAndPumpMessages;
constexpr DWORD kAppearTimeoutMs = 10000;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Quote(const std::wstring& text) {
    return QuoteText(std::u16string(text.begin(), text.end()));
}

struct ControlSearch {
    int id;
    HWND visible = nullptr;
    HWND any = nullptr;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    if (search->any == nullptr) search->any = child;
    if (IsWindowVisible(child)) {
        search->visible = child;
        return FALSE;
    }
    return TRUE;
}

// The control with this id anywhere in the dialog, its pages included; a visible one first,
// since the hidden page of a tabbed dialog may use the same ids.
HWND FindControl(HWND dialog, int id) {
    ControlSearch search{id};
    EnumChildWindows(dialog, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.visible != nullptr ? search.visible : search.any;
}

BOOL CALLBACK MatchTabControl(HWND child, LPARAM param) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, WC_TABCONTROLW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

Status SelectTab(HWND dialog, const std::wstring& caption) {
    HWND tabs = nullptr;
    EnumChildWindows(dialog, MatchTabControl, reinterpret_cast<LPARAM>(&tabs));
    if (tabs == nullptr) return Status::Failure("the dialog has no tabs");
    int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        if (caption != text) continue;
        // A click on the tab, as the mouse gives it: the control asks its owner, then tells it.
        RECT rect{};
        SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(tabs, WM_LBUTTONUP, 0, at);
        return Check(SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == index,
                     "the dialog stayed on its tab");
    }
    return Status::Failure("no tab " + Quote(caption));
}

// Selects the item of a drop-down list or a list box as a click on it does: the selection moves
// and the owner hears of the change.
Status ChooseItem(HWND list, const std::wstring& item) {
    const bool listBox = ModalWatch::IsListBox(list);
    const LRESULT index =
        SendMessageW(list, listBox ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT,
                     static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    if (index < 0) return Status::Failure("no item " + Quote(item) + " in the list");
    SendMessageW(list, listBox ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(list), listBox ? LBN_SELCHANGE : CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return {};
}

// The window as it is on the screen, as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    WaitAndPumpMessages(200);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    void* bits = nullptr;
    const win::UniqueBitmap bitmap(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info),
                                                    DIB_RGB_COLORS, &bits, nullptr, 0));
    bool saved = false;
    if (bitmap && memory != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap.Get());
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD imageSize = stride * static_cast<DWORD>(height);
        constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfSize = kHeaders + imageSize;
        file.bfOffBits = kHeaders;
        std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info), sizeof info);
        out.write(static_cast<const char*>(bits), imageSize);
        saved = static_cast<bool>(out);
        SelectObject(memory, old);
    }
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// Keys typed into `control` as the keyboard gives them: the control takes the focus, the keys
// go through the system's input queue, and the dialog manager sees them as in the dialog's own
// modal loop, so that Esc, Enter and Tab do what they do for a user.
Status PressKeys(HWND dialog, HWND control, const std::vector<KeyStroke>& keys) {
    SetForegroundWindow(dialog);
    SetFocus(control);
    if (GetFocus() != control) return Status::Failure("the control cannot take the focus");
    std::vector<INPUT> inputs;
    const auto press = [&inputs](int virtualKey, bool down) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(virtualKey), 0));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    };
    for (const KeyStroke& key : keys) {
        const std::pair<bool, int> modifiers[] = {
            {key.shift, VK_SHIFT}, {key.control, VK_CONTROL}, {key.alt, VK_MENU}};
        for (const auto& [held, modifier] : modifiers)
            if (held) press(modifier, true);
        press(key.virtualKey, true);
        press(key.virtualKey, false);
        for (const auto& [held, modifier] : modifiers)
            if (held) press(modifier, false);
    }
    const UINT count = static_cast<UINT>(inputs.size());
    if (SendInput(count, inputs.data(), sizeof(INPUT)) != count) {
        return Status::Failure("the keys were refused");
    }
    // Until the keys and what they set off are handled: no message for a while, at most 2 s.
    ui::PumpUntilQuiet(50, dialog, 2000);
    return {};
}

std::string Quoted(const std::vector<std::wstring>& texts) {
    std::string list;
    for (const std::wstring& text : texts) list += (list.empty() ? "" : " ") + Quote(text);
    return list.empty() ? "nothing" : list;
}

bool IsOpen(HWND dialog) {
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

bool IsExpectation(const DialogStep& step) {
    return step.kind == Kind::kDialog || step.kind == Kind::kMessageBox;
}

std::string Describe(const DialogStep& step) {
    return (step.kind == Kind::kDialog ? "dialog " : "message box ") + Quote(Wide(step.text));
}

}  // namespace

void DialogScript::Fail(int line, std::string message) {
    if (Failed()) return;  // the first failure is the one to tell
    failedLine_ = line;
    outcome_ = Status::Failure(std::move(message));
    steps_.clear();
}

std::string DialogScript::AppearedInstead() const {
    return appeared_.empty() ? ", and nothing else appeared"
                             : "; " + appeared_ + " appeared instead";
}

void DialogScript::Finish() {
    if (!steps_.empty() && !Failed()) {
        const DialogStep& next = steps_.front();
        Fail(next.line, IsExpectation(next) ? Describe(next) + " never appeared" + AppearedInstead()
                                            : "this step had no dialog to run on");
    }
    appeared_.clear();
}

bool DialogScript::ClaimMessageBox(const std::wstring& text, int* answer) {
    if (steps_.empty() || steps_.front().kind != Kind::kMessageBox) {
        appeared_ = "message box " + Quote(text);
        return false;
    }
    DialogStep step = std::move(steps_.front());
    steps_.pop_front();
    if (Wide(step.text) != text) {
        Fail(step.line,
             "expected " + Describe(step) + ", but message box " + Quote(text) + " appeared");
        return false;
    }
    *answer = step.control;
    return true;
}

bool DialogScript::ClaimDialog(HWND dialog) {
    const std::wstring caption = ModalWatch::WindowText(dialog);
    if (steps_.empty() || !IsExpectation(steps_.front())) {
        appeared_ = "dialog " + Quote(caption);
        return false;
    }
    DialogStep step = std::move(steps_.front());
    steps_.pop_front();
    if (step.kind != Kind::kDialog || Wide(step.text) != caption) {
        Fail(step.line,
             "expected " + Describe(step) + ", but dialog " + Quote(caption) + " appeared");
        return false;
    }
    if (!RunSteps(dialog, step.line)) {
        ModalWatch::Answer(dialog, IDCANCEL);
    }
    return true;
}

bool DialogScript::WaitUntilTaken(const DialogStep* step, HWND dialog) {
    const size_t waiting = steps_.size();
    const DWORD start = GetTickCount();
    const int line = step->line;
    const std::string what = Describe(*step);
    while (!Failed() && steps_.size() == waiting) {
        // A dialog that ended (its window hides at once) opens nothing more.
        if (!IsWindowVisible(dialog)) {
            Fail(line,
                 what + " never appeared: the dialog it comes from closed" + AppearedInstead());
            return false;
        }
        if (GetTickCount() - start > kAppearTimeoutMs) {
            Fail(line, what + " did not appear within " + std::to_string(kAppearTimeoutMs / 1000) +
                           " s" + AppearedInstead());
            return false;
        }
        WaitAndPumpMessages(10);
    }
    return !Failed();
}

bool DialogScript::RunSteps(HWND dialog, int dialogLine) {
    while (!Failed()) {
        if (steps_.empty()) {
            Fail(dialogLine, "the steps for this dialog end without `close`");
            return false;
        }
        if (IsExpectation(steps_.front())) {
            // Opened by an earlier step but not yet shown: its own steps run when it is.
            if (!WaitUntilTaken(&steps_.front(), dialog)) return false;
            continue;
        }
        DialogStep step = std::move(steps_.front());
        steps_.pop_front();
        Status executed = Execute(step, dialog);
        if (!executed.Ok()) {
            Fail(step.line, executed.Message());
            return false;
        }
        // A key may close the dialog as a button does (Esc): its steps end there.
        if (step.kind == Kind::kClose || (step.kind == Kind::kKey && !IsOpen(dialog))) return true;
    }
    return false;
}

Status DialogScript::Execute(const DialogStep& step, HWND dialog) {
    if (step.kind == Kind::kTab) return SelectTab(dialog, Wide(step.text));
    if (step.kind == Kind::kScreenshot) {
        std::string path = resolvePath_(step.path);
        return Check(SaveScreenshot(dialog, path), path + ": cannot write");
    }
    if (step.kind == Kind::kClose) {
        HWND button = GetDlgItem(dialog, step.control);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return Check(!IsOpen(dialog), "the dialog stayed open");
    }
    HWND control = FindControl(dialog, step.control);
    if (control == nullptr) {
        return Status::Failure("the dialog has no control " + std::to_string(step.control));
    }
    const std::wstring text = Wide(step.text);
    switch (step.kind) {
        case Kind::kSet:
            SetWindowTextW(control, text.c_str());
            return {};
        case Kind::kClick:
            SendMessageW(control, BM_CLICK, 0, 0);
            return {};
        case Kind::kCheck:
        case Kind::kUncheck: {
            const LRESULT wanted = step.kind == Kind::kCheck ? BST_CHECKED : BST_UNCHECKED;
            if (SendMessageW(control, BM_GETCHECK, 0, 0) != wanted) {
                SendMessageW(control, BM_CLICK, 0, 0);
            }
            return Check(SendMessageW(control, BM_GETCHECK, 0, 0) == wanted,
                         "the box did not change");
        }
        case Kind::kChoose:
            return ChooseItem(control, text);
        case Kind::kExpect: {
            // A list box shows its selected item.
            std::wstring shown = ModalWatch::IsListBox(control) ? ModalWatch::SelectedItem(control)
                                                                : ModalWatch::WindowText(control);
            return Check(shown == text, "control " + std::to_string(step.control) + " shows " +
                                            Quote(shown) + ", expected " + Quote(text));
        }
        case Kind::kKey:
            return PressKeys(dialog, control, step.keys);
        case Kind::kExpectChecked: {
            const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            return Check(checked == step.state, "control " + std::to_string(step.control) + " is " +
                                                    (checked ? "checked" : "not checked"));
        }
        case Kind::kExpectEnabled: {
            const bool enabled = IsWindowEnabled(control) != FALSE;
            return Check(enabled == step.state, "control " + std::to_string(step.control) + " is " +
                                                    (enabled ? "enabled" : "disabled"));
        }
        case Kind::kExpectItems: {
            const std::vector<std::wstring> listed = ModalWatch::ListItems(control);
            std::vector<std::wstring> expected;
            for (const std::u16string& item : step.items) expected.push_back(Wide(item));
            return Check(listed == expected, "control " + std::to_string(step.control) + " lists " +
                                                 Quoted(listed) + ", expected " + Quoted(expected));
        }
        case Kind::kIme:
            return Check(CommitConversion(control, text, Wide(step.committed)),
                         "control " + std::to_string(step.control) + " has no input context");
        default:
            return Status::Failure("not a step inside a dialog");
    }
}

}  // namespace marupo::devhost
