#include "editor/reading_capture_edit.h"

#include <imm.h>

namespace marupo::editor {

LRESULT ReadingCaptureEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IME_COMPOSITION && captureEnabled_ && (lParam & GCS_RESULTREADSTR) != 0) {
        CaptureReading();
    }
    // The default handling inserts the committed text; the owner has its reading by now.
    return DefaultProc(message, wParam, lParam);
}

void ReadingCaptureEdit::CaptureReading() {
    capturedReading_ = MapReading(source_->ResultReading(Handle()));
    HWND owner = GetParent(Handle());
    if (owner != nullptr) {
        // A send, not a post: the owner appends before the committed text reaches the edit.
        SendMessageA(owner, WM_READING_CAPTURED, static_cast<WPARAM>(target_), 0);
    }
}

}  // namespace marupo::editor
