#pragma once
// Where the reading of a just-committed conversion comes from. The input method is the only
// thing the reading capture cannot do without; keeping the one call that asks it behind this
// interface lets the rest (message flags, mapping, appending, order) run as it is everywhere.

#include <windows.h>

#include <string>

namespace marupo::editor {

class ImeReadingSource {
  public:
    virtual ~ImeReadingSource() = default;
    // The result reading string of the conversion just committed in `edit`, in the ANSI code
    // page, as the input method gives it. Empty when there is no input context or no reading.
    virtual std::string ResultReading(HWND edit) = 0;
};

// The input method of the edit's thread (ImmGetContext / GCS_RESULTREADSTR / ImmReleaseContext).
class ImmReadingSource final : public ImeReadingSource {
  public:
    std::string ResultReading(HWND edit) override;
};

// The source every ReadingCaptureEdit uses unless it is given another one.
ImeReadingSource& DefaultImeReadingSource();

// Turns a reading into what the reading fields hold: katakana (half- or full-width) become
// full-width hiragana, half-width letters, digits and signs become full-width, under the user's
// default locale. At most 256 bytes of the result are kept, cut on a character boundary.
std::string MapReading(const std::string& reading);

}  // namespace marupo::editor
