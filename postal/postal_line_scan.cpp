#include "postal/postal_line_scan.h"

#include <algorithm>
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

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bit k of the result is set where bits k to k + 6 of `digits` are all set.
constexpr std::uint64_t SevenInARow(std::uint64_t digits) {
    std::uint64_t runs = digits & digits >> 1;  // two in a row
    runs &= runs >> 2;                          // four
    return runs & runs >> 3;                    // seven: four, and four from the fourth
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

// The digit bytes among the 32 at `p`, one bit each.
__attribute__((target("avx2"), always_inline)) inline std::uint64_t DigitMaskAvx2(const char* p) {
    const __m256i offset = _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                                           _mm256_set1_epi8('0'));
    const __m256i isDigit = _mm256_cmpeq_epi8(_mm256_min_epu8(offset, _mm256_set1_epi8(9)), offset);
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(isDigit));
}

// FindSevenDigits 58 positions a step: the starts of the windows that lie whole within 64 bytes.
// Returns the first start accepted, or npos with `at` moved to where the loop stopped.
template <typename Accept>
__attribute__((target("avx2"))) std::size_t FindSevenDigitsAvx2(const char* data, std::size_t size,
                                                                std::size_t& at,
                                                                const Accept& accept) {
    constexpr std::size_t kStep = 64 - 6;
    for (; at + 64 <= size; at += kStep) {
        const std::uint64_t digits = DigitMaskAvx2(data + at) | DigitMaskAvx2(data + at + 32) << 32;
        for (std::uint64_t runs = SevenInARow(digits) & ((std::uint64_t{1} << kStep) - 1);
             runs != 0; runs &= runs - 1) {
            const std::size_t start = at + static_cast<std::size_t>(__builtin_ctzll(runs));
            if (accept(start)) return start;
        }
    }
    return npos;
}
#endif

// The first position at or after `from` where seven digits in a row start and `accept` agrees,
// or npos.
template <typename Accept>
std::size_t FindSevenDigits(const char* data, std::size_t size, std::size_t from,
                            const Accept& accept) {
    std::size_t at = from;
#if defined(MARUPO_HAVE_AVX2_PATH)
    if (HasAvx2()) {
        const std::size_t hit = FindSevenDigitsAvx2(data, size, at, accept);
        if (hit != npos) return hit;
    }
#endif
#if defined(__SSE2__)
    // A mask of the digit bytes of 32 positions; and-ing it with itself shifted leaves the bits
    // where seven digits in a row start (SevenInARow). Each step settles the first 16 positions.
    const auto digits = [data](std::size_t i) {
        const __m128i offset = _mm_sub_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), _mm_set1_epi8('0'));
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(9)), offset);
        return static_cast<std::uint32_t>(_mm_movemask_epi8(isDigit));
    };
    if (at + 32 <= size) {
        std::uint32_t low = digits(at);
        for (; at + 32 <= size; at += 16) {
            const std::uint32_t high = digits(at + 16);
            for (std::uint64_t runs = SevenInARow(low | high << 16) & 0xFFFFu; runs != 0;
                 runs &= runs - 1) {
                const std::size_t start =
                    at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(runs)));
                if (accept(start)) return start;
            }
            low = high;
        }
    }
#endif
    // Digits are sparse in the files, so testing every seventh byte passes most of the text over.
    while (at + 7 <= size) {
        if (!IsDigit(data[at + 6])) {
            at += 7;
            continue;
        }
        std::size_t first = at + 6;
        while (first > at && IsDigit(data[first - 1])) --first;
        if (first == at) {
            if (accept(at)) return at;
            ++at;
        } else {
            at = first;
        }
    }
    return npos;
}

// The number that the seven digits at `p` spell.
std::uint32_t SevenDigitsValue(const char* p) {
    std::uint32_t value = 0;
    for (int i = 0; i < 7; ++i) value = value * 10 + static_cast<std::uint32_t>(p[i] - '0');
    return value;
}

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

bool CodeSet::Parse(std::string_view digits, std::uint32_t& code) {
    if (digits.size() != 7) return false;
    std::uint32_t value = 0;
    for (const char c : digits) {
        if (!IsDigit(c)) return false;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    code = value;
    return true;
}

void CodeSet::Insert(std::uint32_t code) {
    if (Contains(code)) return;
    bits_[code / 64] |= std::uint64_t{1} << (code % 64);
    ++size_;
}

void CodeSet::Erase(std::uint32_t code) {
    if (!Contains(code)) return;
    bits_[code / 64] &= ~(std::uint64_t{1} << (code % 64));
    --size_;
}

// Walks a line as it is fed, from its start, and collects the codes of a set that it holds: the
// last seven digits of every digit run at least that long, where the seven start at a character
// boundary. A digit is never a lead byte, so only the first digit of a run can be a trail byte.
class LineScanner::CodeWalk {
  public:
    CodeWalk(const CodeSet& codes, std::vector<std::uint32_t>& found)
        : codes_(codes), found_(found) {}

    // A whole line, fed before anything else of it: only its runs of seven digits are looked at.
    void FeedWhole(std::string_view line) {
        FindSevenDigits(line.data(), line.size(), 0, [this, line](std::size_t at) {
            if (BoundaryAt(line.data(), at, true)) Take(SevenDigitsValue(line.data() + at));
            return false;
        });
    }

    // A piece of a line that comes in several, byte by byte.
    void Feed(std::string_view piece) {
        for (const char c : piece) {
            if (IsDigit(c)) {
                if (run_ == 0) runOnBoundary_ = onBoundary_;
                value_ =
                    (run_ == 0 ? 0 : value_ % 1000000 * 10) + static_cast<std::uint32_t>(c - '0');
                ++run_;
                if (run_ >= 7 && (run_ > 7 || runOnBoundary_)) Take(value_);
                onBoundary_ = true;
            } else {
                run_ = 0;
                onBoundary_ = !onBoundary_ || !text::IsLeadByte(static_cast<unsigned char>(c));
            }
        }
    }

  private:
    void Take(std::uint32_t code) {
        if (!codes_.Contains(code)) return;
        if (std::find(found_.begin(), found_.end(), code) == found_.end()) found_.push_back(code);
    }

    const CodeSet& codes_;
    std::vector<std::uint32_t>& found_;
    bool onBoundary_ = true;  // the next byte starts a character
    std::size_t run_ = 0;     // digits in a row so far
    bool runOnBoundary_ = false;
    std::uint32_t value_ = 0;  // the run's last seven digits
};

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxCarry = 64;

// Finds `code` as bytes, then keeps the first find at a character boundary.
class TextMatcher {
  public:
    explicit TextMatcher(std::string_view code) : code_(code) {}
    std::size_t carry() const { return code_.size() - 1; }
    std::size_t Find(const char* data, std::size_t size, std::size_t from, std::size_t base,
                     bool baseOnBoundary) const {
        const std::string_view view(data, size);
        for (std::size_t at = FindBytes(view, code_, from); at != npos;
             at = FindBytes(view, code_, at + 1)) {
            if (BoundaryAt(data + base, at - base, baseOnBoundary)) return at;
        }
        return npos;
    }

  private:
    std::string_view code_;
};

// Finds runs of seven digits, then keeps the first at a character boundary whose number is in
// the set.
class CodeSetMatcher {
  public:
    explicit CodeSetMatcher(const CodeSet& codes) : codes_(codes) {}
    std::size_t carry() const { return 6; }
    std::size_t Find(const char* data, std::size_t size, std::size_t from, std::size_t base,
                     bool baseOnBoundary) const {
        return FindSevenDigits(data, size, from, [&](std::size_t at) {
            return codes_.Contains(SevenDigitsValue(data + at)) &&
                   BoundaryAt(data + base, at - base, baseOnBoundary);
        });
    }

  private:
    const CodeSet& codes_;
};

}  // namespace

LineScanner::LineScanner(PostalFile& file, std::size_t blockSize)
    : file_(file), blockSize_(blockSize == 0 ? 1 : blockSize) {}

// Reads the first block (more, should it be shorter than a byte-order mark) and steps over a
// byte-order mark.
bool LineScanner::Start() {
    if (started_) return !failed_;
    started_ = true;
    // Room for what a search carries from one block to the next, so that the buffer keeps its size.
    buffer_.resize(kMaxCarry + blockSize_);
    while (size_ < kByteOrderMark.size()) {
        const std::ptrdiff_t n = file_.Read(buffer_.data() + size_, blockSize_);
        if (n < 0) {
            failed_ = true;
            return false;
        }
        if (n == 0) break;
        size_ += static_cast<std::size_t>(n);
    }
    if (std::string_view(buffer_.data(), size_).substr(0, kByteOrderMark.size()) ==
        kByteOrderMark) {
        pos_ = kByteOrderMark.size();
    }
    return true;
}

// Moves the bytes from `keepFrom` on to the buffer's start and reads a block behind them: the
// count read, 0 at the end of the file, -1 on a read error.
std::ptrdiff_t LineScanner::Refill(std::size_t keepFrom) {
    const std::size_t keep = size_ - keepFrom;
    std::memmove(buffer_.data(), buffer_.data() + keepFrom, keep);
    size_ = keep;
    if (buffer_.size() < keep + blockSize_) buffer_.resize(keep + blockSize_);
    const std::ptrdiff_t n = file_.Read(buffer_.data() + keep, blockSize_);
    if (n > 0) size_ += static_cast<std::size_t>(n);
    return n;
}

// Adds bytes of the line being searched that are about to leave the buffer to its kept start.
void LineScanner::KeepLineStart(std::string_view bytes) {
    const std::size_t room = kKeptLineBytes - std::min(kKeptLineBytes, lineStart_.size());
    lineStart_.append(bytes.substr(0, room));
    if (bytes.size() > room) lineCut_ = true;
}

void LineScanner::ForgetLineStart() {
    lineStart_.clear();
    lineCut_ = false;
}

ScanResult LineScanner::FeedLine(LineSink* sink, CodeWalk* walk, std::size_t walkFrom) {
    bool first = true;
    while (true) {
        if (pos_ == size_) {
            const std::ptrdiff_t n = Refill(size_);
            pos_ = 0;
            walkFrom = 0;
            if (n < 0) return ScanResult::kReadError;
            if (n == 0) return first ? ScanResult::kNoHit : ScanResult::kHit;
        }
        const char* start = buffer_.data() + pos_;
        const void* lf = std::memchr(start, '\n', size_ - pos_);
        const std::size_t length =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - start)
                          : size_ - pos_;
        if (sink != nullptr) sink->Feed(std::string_view(start, length));
        if (walk != nullptr) {
            const std::string_view walked(buffer_.data() + walkFrom, pos_ + length - walkFrom);
            if (first && lf != nullptr) {
                walk->FeedWhole(walked);
            } else {
                walk->Feed(walked);
            }
        }
        first = false;
        pos_ += length;
        walkFrom = pos_;
        if (lf != nullptr) {
            ++pos_;
            return ScanResult::kHit;
        }
    }
}

template <typename Matcher>
ScanResult LineScanner::Find(const Matcher& matcher, LineSink& sink, CodeWalk* walk) {
    if (!Start()) return ScanResult::kReadError;
    // The last bytes of a block, too few to hold a match, are carried into the next buffer so
    // that a code split over two blocks is still found.
    const std::size_t carry = matcher.carry();
    ForgetLineStart();
    std::size_t line = pos_;     // where the line being searched starts, or 0 if in lineStart_
    std::size_t checked = pos_;  // the line feeds before this position have been looked for
    std::size_t base = pos_;     // a position whose character boundary is known
    bool baseOnBoundary = true;
    std::size_t from = pos_;
    const auto lineFrom = [&](std::size_t end) {
        if (const char* lf = FindLastLineFeed(buffer_.data() + checked, end - checked)) {
            line = static_cast<std::size_t>(lf - buffer_.data()) + 1;
            ForgetLineStart();
        }
        checked = end;
    };
    while (true) {
        const char* data = buffer_.data();
        const std::size_t at = matcher.Find(data, size_, from, base, baseOnBoundary);
        if (at != npos) {
            lineFrom(at);
            // No code of the search starts at a boundary before `at`, so the codes that the line
            // holds are found from there on.
            if (!lineStart_.empty()) sink.Feed(lineStart_);
            if (lineCut_) {
                pos_ = at;
                return FeedLine(nullptr, walk, at);
            }
            pos_ = line;
            return FeedLine(&sink, walk, at);
        }
        const std::size_t keepFrom = std::max(from, size_ - std::min(size_, carry));
        lineFrom(keepFrom);
        baseOnBoundary = BoundaryAt(data + base, keepFrom - base, baseOnBoundary);
        KeepLineStart(std::string_view(data + line, keepFrom - line));
        const std::ptrdiff_t n = Refill(keepFrom);
        line = 0;
        checked = 0;
        base = 0;
        from = 0;
        if (n < 0) return ScanResult::kReadError;
        if (n == 0) {
            pos_ = size_;
            return ScanResult::kNoHit;
        }
    }
}

ScanResult LineScanner::FindLine(std::string_view code, LineSink& sink) {
    if (code.empty()) return ScanResult::kNoHit;
    return Find(TextMatcher(code), sink, nullptr);
}

ScanResult LineScanner::FindLine(const CodeSet& codes, LineSink& sink,
                                 std::vector<std::uint32_t>& found) {
    CodeWalk walk(codes, found);
    return Find(CodeSetMatcher(codes), sink, &walk);
}

ScanResult LineScanner::ReadLine(LineSink& sink) {
    if (!Start()) return ScanResult::kReadError;
    return FeedLine(&sink, nullptr, pos_);
}

ScanResult LineScanner::ReadLine(const CodeSet& codes, LineSink& sink,
                                 std::vector<std::uint32_t>& found) {
    if (!Start()) return ScanResult::kReadError;
    CodeWalk walk(codes, found);
    return FeedLine(&sink, &walk, pos_);
}

ColumnPicker::ColumnPicker(std::vector<std::size_t> columns, std::size_t maxBytes)
    : columns_(std::move(columns)), maxBytes_(maxBytes), values_(columns_.size()) {}

void ColumnPicker::Feed(std::string_view piece) {
    while (!piece.empty() && next_ < columns_.size()) {
        const void* comma = std::memchr(piece.data(), ',', piece.size());
        const std::size_t length =
            comma != nullptr
                ? static_cast<std::size_t>(static_cast<const char*>(comma) - piece.data())
                : piece.size();
        const bool wanted = column_ == columns_[next_];
        if (comma == nullptr) {
            if (wanted) Append(piece);
            return;
        }
        if (wanted && total_ == 0) {
            // The whole column lies in this piece: taken straight from it.
            const std::string_view column = piece.substr(0, length);
            Store(column, column.size(), column.empty() ? '\0' : column.back());
        } else if (wanted) {
            Append(piece.substr(0, length));
            Store(kept_, total_, last_);
            kept_.clear();
            total_ = 0;
            last_ = '\0';
        }
        ++column_;
        piece.remove_prefix(length + 1);
    }
}

void ColumnPicker::Clear() {
    next_ = 0;
    column_ = 0;
    for (std::string& value : values_) value.clear();
    kept_.clear();
    total_ = 0;
    last_ = '\0';
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

void ColumnPicker::Store(std::string_view kept, std::size_t total, char last) {
    std::string_view value = kept;
    if (total >= 2 && kept.front() == '"' && last == '"') {
        value.remove_prefix(1);
        // The closing quote is among the kept bytes only when the whole column was kept.
        if (total <= kept.size()) value.remove_suffix(1);
    }
    values_[next_++].assign(text::TruncateToBytes(value, maxBytes_));
}

}  // namespace marupo::postal
