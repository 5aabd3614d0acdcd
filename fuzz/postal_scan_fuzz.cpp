// libFuzzer target for the line scanner and the column extraction: every input is a file image;
// the streamed results must equal a plain line-by-line reading of the same bytes, at any block
// size and however the line is cut into pieces, whether the code is searched alone or in a set.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "postal/postal_line_scan.h"
#include "text/sjis.h"

namespace {

using namespace marupo::postal;

class MemoryFile final : public PostalFile {
  public:
    explicit MemoryFile(std::string_view content) : content_(content) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, content_.size() - position_);
        std::memcpy(buffer, content_.data() + position_, n);
        position_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }

  private:
    std::string_view content_;
    std::size_t position_ = 0;
};

class Collector final : public LineSink {
  public:
    void Feed(std::string_view piece) override { line.append(piece); }
    std::string line;
};

bool ReferenceLine(std::string_view content, std::string_view code, std::string& line) {
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        const std::string_view candidate = content.substr(start, end - start);
        if (marupo::text::FindCharWise(candidate, code) != std::string_view::npos) {
            line = std::string(candidate);
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Columns first..first+count-1 as the rules read them, from the whole line at once.
std::vector<std::string> ReferenceColumns(const std::string& line, std::size_t first,
                                          std::size_t count, std::size_t cap) {
    std::vector<std::string> values(count);
    std::size_t column = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) break;
        if (column >= first && column < first + count) {
            std::string_view value(line.data() + start, comma - start);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            values[column - first] = std::string(marupo::text::TruncateToBytes(value, cap));
        }
        ++column;
        start = comma + 1;
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::size_t blockSize = 1 + data[0] % 97;
    const std::size_t pieceSize = 1 + data[1] % 13;
    const std::size_t cap = 1 + data[2] % 9;
    static const char* const kCodes[] = {"0600000", "1", "06", "\x8E\x73", ",0,"};
    const std::string_view code = kCodes[data[2] % 5];
    const std::string_view content(reinterpret_cast<const char*>(data) + 3, size - 3);

    MemoryFile file(content);
    Collector collector;
    LineScanner scanner(file, blockSize);
    const ScanResult result = scanner.FindLine(code, collector);
    std::string expected;
    // The scanner steps over a UTF-8 byte-order mark at the start of the file.
    const std::string_view text =
        content.substr(0, 3) == "\xEF\xBB\xBF" ? content.substr(3) : content;
    const bool hit = ReferenceLine(text, code, expected);
    if ((result == ScanResult::kHit) != hit || result == ScanResult::kReadError) std::abort();
    if (!hit) return 0;
    if (collector.line != expected) std::abort();

    // A seven-digit code is found by the code set on the same line.
    std::uint32_t number = 0;
    if (CodeSet::Parse(code, number)) {
        MemoryFile again(content);
        LineScanner setScanner(again, blockSize);
        // One set for all inputs: a fresh one would clear its 1.25 MB for every input.
        static CodeSet codes;
        codes.Insert(number);
        std::vector<std::uint32_t> found;
        Collector setLine;
        const ScanResult setResult = setScanner.FindLine(codes, setLine, found);
        codes.Erase(number);
        if (setResult != ScanResult::kHit) std::abort();
        if (setLine.line != expected || found != std::vector<std::uint32_t>{number}) std::abort();
    }

    ColumnPicker picker({1, 2, 3}, cap);
    for (std::size_t at = 0; at < expected.size(); at += pieceSize) {
        picker.Feed(std::string_view(expected).substr(at, pieceSize));
    }
    const std::vector<std::string> columns = ReferenceColumns(expected, 1, 3, cap);
    for (std::size_t i = 0; i < 3; ++i) {
        if (picker.Column(i) != columns[i]) std::abort();
    }
    return 0;
}
