#include "postal/postal_line_scan.h"

#include <cstring>

#include "text/sjis.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace marupo::postal {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Whether position `pos` of `data` starts a character. Only the run of lead-byte values before
// `pos` matters: any other byte ends a character. When the run reaches the buffer's start, the
// answer depends on whether the buffer itself starts on a boundary.
bool BoundaryAt(const char* data, std::size_t pos, bool startsOnBoundary) {
    std::size_t run = 0;
    while (run < pos && text::IsLeadByte(static_cast<unsigned char>(data[pos - 1 - run]))) ++run;
    if (run < pos || startsOnBoundary) return run % 2 == 0;
    return run % 2 == 1;
}

// memrchr is not available everywhere; lines are short, so the walk back is too.
const char* FindLastLineFeed(const char* data, std::size_t size) {
    for (std::size_t i = size; i > 0; --i) {
        if (data[i - 1] == '\n') return data + i - 1;
    }
    return nullptr;
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define MARUPO_HAVE_AVX2_PATH 1
#include <immintrin.h>

// The same filter 32 positions at a time, on processors that have AVX2. Returns the first match
// at or after `i` found by the vector loop, or npos with `i` moved to where the loop stopped.
__attribute__((target("avx2"))) std::size_t FindBytesAvx2(const char* s, std::size_t n,
                                                          std::string_view needle, std::size_t& i) {
    const std::size_t m = needle.size();
    const std::size_t mid = m / 2;
    const std::size_t last = m - 1;
    const __m256i vFirst = _mm256_set1_epi8(needle[0]);
    const __m256i vMid = _mm256_set1_epi8(needle[mid]);
    const __m256i vLast = _mm256_set1_epi8(needle[last]);
    for (; i + last + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + mid));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + last));
        const __m256i eq = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, vFirst), _mm256_cmpeq_epi8(b, vMid)),
            _mm256_cmpeq_epi8(c, vLast));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(eq));
        while (mask != 0) {
            const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(s + i + bit + 1, needle.data() + 1, m - 2) == 0) return i + bit;
            mask &= mask - 1;
        }
    }
    return npos;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

}  // namespace

std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (from > haystack.size()) return npos;
    const std::size_t m = needle.size();
    if (m == 0) return from;
    const char* s = haystack.data();
    const std::size_t n = haystack.size();
    if (n - from < m) return npos;
    const char first = needle[0];
    std::size_t i = from;
#if defined(MARUPO_HAVE_AVX2_PATH)
    if (m >= 2 && HasAvx2()) {
        const std::size_t hit = FindBytesAvx2(s, n, needle, i);
        if (hit != npos) return hit;
    }
#endif
#if defined(__SSE2__)
    // Compare the first, middle and last needle bytes sixteen positions at a time; only
    // positions where all three agree are compared in full.
    if (m >= 2) {
        const std::size_t mid = m / 2;
        const std::size_t last = m - 1;
        const __m128i vFirst = _mm_set1_epi8(first);
        const __m128i vMid = _mm_set1_epi8(needle[mid]);
        const __m128i vLast = _mm_set1_epi8(needle[last]);
        for (; i + last + 16 <= n; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + mid));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + last));
            const __m128i eq =
                _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(a, vFirst), _mm_cmpeq_epi8(b, vMid)),
                              _mm_cmpeq_epi8(c, vLast));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(eq));
            while (mask != 0) {
                const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
                if (std::memcmp(s + i + bit + 1, needle.data() + 1, m - 2) == 0) return i + bit;
                mask &= mask - 1;
            }
        }
    }
#endif
    while (i + m <= n) {
        const void* hit = std::memchr(s + i, first, n - m + 1 - i);
        if (hit == nullptr) return npos;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - s);
        if (std::memcmp(s + i + 1, needle.data() + 1, m - 1) == 0) return i;
        ++i;
    }
    return npos;
}

ScanResult ScanForFirstLine(PostalFile& file, std::string_view code, LineSink& sink,
                            std::size_t blockSize) {
    if (code.empty()) return ScanResult::noHit;
    if (blockSize == 0) blockSize = 1;
    // The last code.size() - 1 bytes of a block are carried into the next buffer so that a code
    // split over two blocks is still found.
    const std::size_t carryMax = code.size() - 1;
    std::vector<char> buffer(carryMax + blockSize);
    char* const data = buffer.data();
    std::size_t carried = 0;
    std::uint64_t bufferOffset = 0;  // file offset of data[0]
    std::uint64_t lineOffset = 0;    // file offset of the line that holds data[0]
    bool startsOnBoundary = true;    // data[0] starts a character

    while (true) {
        const std::ptrdiff_t n = file.Read(data + carried, blockSize);
        if (n < 0) return ScanResult::readError;
        if (n == 0) return ScanResult::noHit;
        const std::size_t size = carried + static_cast<std::size_t>(n);
        const std::string_view view(data, size);

        for (std::size_t pos = FindBytes(view, code); pos != npos;
             pos = FindBytes(view, code, pos + 1)) {
            if (!BoundaryAt(data, pos, startsOnBoundary)) continue;

            // Hit: hand the whole line to the sink, from its start to its line feed.
            std::size_t from = 0;
            if (const char* lf = FindLastLineFeed(data, pos)) {
                from = static_cast<std::size_t>(lf - data) + 1;
            } else if (lineOffset < bufferOffset) {
                // The line began in an earlier block: read it again from its start.
                if (!file.Seek(lineOffset)) return ScanResult::readError;
                from = size;  // nothing of this buffer; the loop below reads afresh
            }
            std::size_t end = size;
            while (true) {
                const void* lf = std::memchr(data + from, '\n', end - from);
                if (lf != nullptr) {
                    sink.Feed(std::string_view(
                        data + from,
                        static_cast<std::size_t>(static_cast<const char*>(lf) - (data + from))));
                    return ScanResult::hit;
                }
                sink.Feed(std::string_view(data + from, end - from));
                const std::ptrdiff_t more = file.Read(data, blockSize);
                if (more < 0) return ScanResult::readError;
                if (more == 0) return ScanResult::hit;  // a last line without a line break
                from = 0;
                end = static_cast<std::size_t>(more);
            }
        }

        // No hit in this buffer: carry its tail and note where the next buffer's line began.
        const std::size_t keep = size < carryMax ? size : carryMax;
        const std::size_t nextStart = size - keep;
        startsOnBoundary = BoundaryAt(data, nextStart, startsOnBoundary);
        if (const char* lf = FindLastLineFeed(data, nextStart)) {
            lineOffset = bufferOffset + static_cast<std::uint64_t>(lf - data) + 1;
        }
        std::memmove(data, data + nextStart, keep);
        carried = keep;
        bufferOffset += nextStart;
    }
}

ColumnPicker::ColumnPicker(std::size_t first, std::size_t count, std::size_t maxBytes)
    : first_(first), maxBytes_(maxBytes), values_(count) {}

void ColumnPicker::Feed(std::string_view piece) {
    const std::size_t end = first_ + values_.size();
    while (!piece.empty() && column_ < end) {
        const void* comma = std::memchr(piece.data(), ',', piece.size());
        const std::size_t length =
            comma != nullptr
                ? static_cast<std::size_t>(static_cast<const char*>(comma) - piece.data())
                : piece.size();
        if (column_ >= first_) Append(piece.substr(0, length));
        if (comma == nullptr) return;
        if (column_ >= first_) CloseColumn();
        ++column_;
        piece.remove_prefix(length + 1);
    }
}

void ColumnPicker::Append(std::string_view segment) {
    if (segment.empty()) return;
    // Two bytes beyond the cap: room for an opening quote, and one byte more so that a column
    // cut here is always longer than the cap and its cut is moved to a character boundary.
    const std::size_t room = maxBytes_ + 2;
    if (kept_.size() < room) kept_.append(segment.substr(0, room - kept_.size()));
    total_ += segment.size();
    last_ = segment.back();
}

void ColumnPicker::CloseColumn() {
    std::string_view value(kept_);
    if (total_ >= 2 && kept_.front() == '"' && last_ == '"') {
        value.remove_prefix(1);
        // The closing quote is among the kept bytes only when the whole column was kept.
        if (total_ <= kept_.size()) value.remove_suffix(1);
    }
    values_[column_ - first_] = std::string(text::TruncateToBytes(value, maxBytes_));
    kept_.clear();
    total_ = 0;
    last_ = '\0';
}

}  // namespace marupo::postal
