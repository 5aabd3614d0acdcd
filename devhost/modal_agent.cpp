#include "devhost/modal_agent.h"

#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

std::string Quote(const std::wstring& text) {
    return QuoteText(std::u16string(text.begin(), text.end()));
}

}  // namespace

ModalAgent::ModalAgent(CallLog& log) : log_(log) {}

void ModalAgent::Handle(HWND dialog) {
    if (ModalWatch::IsMessageBox(dialog)) {
        const MessageBoxContent box = ModalWatch::ReadMessageBox(dialog);
        int answer = IDOK;
        const bool claimed = script_ != nullptr && script_->ClaimMessageBox(box.text, &answer);
        if (!claimed && !answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        log_.Event("messagebox " + Quote(box.caption) + " " + Quote(box.text) + " answered " +
                   std::to_string(answer));
        ModalWatch::Answer(dialog, answer);
        return;
    }
    const std::wstring caption = ModalWatch::WindowText(dialog);
    log_.Event("dialog " + Quote(caption));
    if (script_ != nullptr && script_->ClaimDialog(dialog)) return;
    log_.Event("dialog " + Quote(caption) + " cancelled: no script steps for it");
    ModalWatch::Answer(dialog, IDCANCEL);
}

}  // namespace marupo::devhost
