#include "editor/ime_reading_source.h"

#include <imm.h>

#include <algorithm>
#include <array>
#include <vector>

#include "text/sjis.h"
#include "ui/input_context.h"

namespace marupo::editor {
namespace {

constexpr std::size_t kReadingBufferBytes = 1024;
constexpr std::size_t kMappedReadingBytes = 256;

}  // namespace

std::string ImmReadingSource::ResultReading(HWND edit) {
    ui::InputContext context(edit);
    if (context.Get() == nullptr) return {};
    // Zero-filled, and one byte kept back so that the text always ends in a NUL.
    std::array<char, kReadingBufferBytes> buffer{};
    LONG bytes = ImmGetCompositionStringA(context.Get(), GCS_RESULTREADSTR, buffer.data(),
                                          static_cast<DWORD>(buffer.size() - 1));
    if (bytes <= 0) return {};  // no reading, or one of the IMM_ERROR_ codes
    return std::string(buffer.data(), std::min(static_cast<std::size_t>(bytes), buffer.size() - 1));
}

ImeReadingSource& DefaultImeReadingSource() {
    static ImmReadingSource source;
    return source;
}

std::string MapReading(const std::string& reading) {
    if (reading.empty()) return {};
    const LCID locale = GetUserDefaultLCID();
    const DWORD flags = LCMAP_FULLWIDTH | LCMAP_HIRAGANA;
    const int sourceBytes = static_cast<int>(reading.size());
    int needed = LCMapStringA(locale, flags, reading.data(), sourceBytes, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<char> mapped(static_cast<std::size_t>(needed), '\0');
    int written = LCMapStringA(locale, flags, reading.data(), sourceBytes, mapped.data(), needed);
    if (written <= 0) return {};
    std::string result(mapped.data(), static_cast<std::size_t>(written));
    // Keep whole characters only: a lead byte without its trail would spoil the field.
    std::size_t kept = 0;
    while (kept < result.size()) {
        std::size_t next = kept + text::CharLengthAt(result, kept);
        if (next > kMappedReadingBytes) break;
        kept = next;
    }
    result.resize(kept);
    return result;
}

}  // namespace marupo::editor
