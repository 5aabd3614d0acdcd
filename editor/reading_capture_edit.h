#pragma once
// A name edit that collects the reading of what the user types through the input method. When a
// conversion is committed it maps the input method's reading to full-width hiragana and sends it
// to its owner before the edit inserts the committed text.

#include <windows.h>

#include <cstdint>
#include <string>

#include "editor/ime_reading_source.h"
#include "ui/control.h"

namespace marupo::editor {

// Sent by a ReadingCaptureEdit to its owner: wParam = the edit's target, lParam = 0; the owner
// returns 0.
constexpr UINT WM_READING_CAPTURED = WM_USER + 301;

class ReadingCaptureEdit final : public ui::SubclassedControl {
  public:
    explicit ReadingCaptureEdit(std::int32_t target,
                                ImeReadingSource& source = DefaultImeReadingSource())
        : target_(target), source_(&source) {}

    // The mapped reading of the latest committed conversion in this edit.
    const std::string& CapturedReading() const { return capturedReading_; }
    // The owner switches capture off while the readings are locked.
    void SetCaptureEnabled(bool enabled) { captureEnabled_ = enabled; }
    void SetReadingSource(ImeReadingSource& source) { source_ = &source; }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CaptureReading();

    const std::int32_t target_;
    ImeReadingSource* source_;
    std::string capturedReading_;
    bool captureEnabled_ = true;
};

}  // namespace marupo::editor
