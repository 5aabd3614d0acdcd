#include "tests/support/modal_driver.h"

#include <set>
#include <utility>

namespace marupo::testing {

using devhost::ModalWatch;

namespace {

std::set<HWND>& IgnoredWindows() {
    static std::set<HWND> windows;
    return windows;
}

}  // namespace

void ModalDriver::OnNextDialog(Handler handler) {
    dialogHandlers_.push_back(std::move(handler));
}

void ModalDriver::AnswerNextMessageBox(int buttonId) {
    boxAnswers_.push_back(buttonId);
}

std::vector<std::wstring> ModalDriver::MessageTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes_) texts.push_back(box.text);
    return texts;
}

std::wstring ModalDriver::ControlText(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}

void ModalDriver::SetControlText(HWND dialog, int id, const std::wstring& text) {
    SetWindowTextW(GetDlgItem(dialog, id), text.c_str());
}

void ModalDriver::Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void ModalDriver::Ignore(HWND window) {
    IgnoredWindows().insert(window);
}

void ModalDriver::Dispatch(HWND window) {
    if (IgnoredWindows().count(window) != 0) return;
    if (ModalWatch::IsMessageBox(window)) {
        const devhost::MessageBoxContent content = ModalWatch::ReadMessageBox(window);
        RecordedMessageBox box;
        box.caption = content.caption;
        box.text = content.text;
        box.exclamationIcon =
            content.icon != nullptr &&
            content.icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
        box.onlyOkButton = content.buttons == 1 && content.hasOk;
        box.owner = content.owner;
        boxes_.push_back(box);
        int answer = IDOK;
        if (!boxAnswers_.empty()) {
            answer = boxAnswers_.front();
            boxAnswers_.pop_front();
        }
        ModalWatch::Answer(window, answer);
        return;
    }
    if (dialogHandlers_.empty()) {
        // Nobody expected this dialog: close it so that the test fails instead of hanging.
        ++unhandledDialogs_;
        ModalWatch::Answer(window, IDCANCEL);
        return;
    }
    Handler handler = std::move(dialogHandlers_.front());
    dialogHandlers_.pop_front();
    handler(window);
}

}  // namespace marupo::testing
