#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "postal/postal_line_scan.h"
#include "text/sjis.h"

namespace marupo::postal {
namespace {

using namespace std::string_literals;

// A file in memory that can fail at a chosen offset.
class MemoryFile final : public PostalFile {
  public:
    explicit MemoryFile(std::string content, std::size_t failAt = std::string::npos)
        : content_(std::move(content)), failAt_(failAt) {}

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (position_ >= failAt_) return -1;
        std::size_t n = std::min(size, content_.size() - std::min(position_, content_.size()));
        if (failAt_ != std::string::npos) n = std::min(n, failAt_ - position_);
        std::memcpy(buffer, content_.data() + position_, n);
        position_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }

  private:
    std::string content_;
    std::size_t failAt_;
    std::size_t position_ = 0;
};

class LineCollector final : public LineSink {
  public:
    void Feed(std::string_view piece) override {
        line.append(piece);
        ++pieces;
    }
    std::string line;
    int pieces = 0;
};

// The search as a plain reading of the rules: split at line feeds, walk each line character-wise.
// The first line holding any of `codes` is `line`, the one after it `next`, and `found` the codes
// it holds in the order they first occur.
ScanResult ReferenceScan(const std::string& content, const std::vector<std::string>& codes,
                         std::string& line, std::string& next, std::vector<std::string>& found) {
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        line = content.substr(start, end - start);
        std::vector<std::pair<std::size_t, std::string>> hits;
        for (const std::string& code : codes) {
            const std::size_t at =
                code.empty() ? std::string::npos : text::FindCharWise(line, code);
            if (at != std::string::npos) hits.emplace_back(at, code);
        }
        if (!hits.empty()) {
            std::sort(hits.begin(), hits.end());
            found.clear();
            for (const auto& hit : hits) found.push_back(hit.second);
            next.clear();
            if (end < content.size()) {
                const std::size_t after = content.find('\n', end + 1);
                next = content.substr(
                    end + 1, after == std::string::npos ? std::string::npos : after - end - 1);
            }
            return ScanResult::kHit;
        }
        start = end + 1;
    }
    return ScanResult::kNoHit;
}

ScanResult FindFirst(PostalFile& file, std::string_view code, LineSink& sink,
                     std::size_t blockSize = kDefaultBlockSize) {
    LineScanner scanner(file, blockSize);
    return scanner.FindLine(code, sink);
}

TEST(FindBytesTest, AgreesWithStringFind) {
    std::mt19937 random(11);
    const char alphabet[] = "0123,\"\n";
    for (int round = 0; round < 3000; ++round) {
        std::string haystack(random() % 80, ' ');
        for (char& c : haystack) c = alphabet[random() % 7];
        std::string needle(1 + random() % 8, ' ');
        for (char& c : needle) c = alphabet[random() % 4];
        const std::size_t from = random() % (haystack.size() + 2);
        ASSERT_EQ(FindBytes(haystack, needle, from), haystack.find(needle, from))
            << haystack << " / " << needle << " from " << from;
    }
}

TEST(LineScannerTest, AgreesWithLineByLineReferenceAtEveryBlockSize) {
    // Lead-byte values, a trail byte that is 市's, digits of the codes and line breaks, so that
    // codes straddle blocks, hide behind lead bytes, run on in longer numbers and lines span many
    // blocks; every third file starts with a byte-order mark.
    const std::vector<std::string> codes = {"0600000", "6000006"};
    const std::vector<std::string> parts = {
        "0600000", "060000", "0",  "6",    "\x8E",     "\x81", "\x73",
        ",",       "\"",     "\n", "\r\n", "\x8E\x73", "a",    std::string(1, '\0')};
    CodeSet set;
    for (const std::string& code : codes) {
        std::uint32_t number = 0;
        ASSERT_TRUE(CodeSet::Parse(code, number));
        set.Insert(number);
    }
    std::mt19937 random(3);
    for (int round = 0; round < 1500; ++round) {
        std::string content;
        const std::size_t count = random() % 40;
        for (std::size_t i = 0; i < count; ++i) content += parts[random() % parts.size()];
        const std::string file = (round % 3 == 0 ? "\xEF\xBB\xBF" : "") + content;
        std::string line;
        std::string next;
        std::vector<std::string> expectedFound;
        const ScanResult one = ReferenceScan(content, {codes[0]}, line, next, expectedFound);
        const std::string oneLine = line;
        const ScanResult any = ReferenceScan(content, codes, line, next, expectedFound);
        for (std::size_t block : {1u, 2u, 3u, 6u, 7u, 8u, 13u, 64u, 65536u}) {
            MemoryFile single(file);
            LineCollector sink;
            ASSERT_EQ(FindFirst(single, codes[0], sink, block), one) << round << " block " << block;
            if (one == ScanResult::kHit) {
                ASSERT_EQ(sink.line, oneLine) << round << " block " << block;
            }

            // The set finds the first line that holds either code, names them, and leaves the
            // scanner on the line after.
            MemoryFile several(file);
            LineScanner scanner(several, block);
            LineCollector first;
            std::vector<std::uint32_t> found;
            ASSERT_EQ(scanner.FindLine(set, first, found), any) << round << " block " << block;
            if (any != ScanResult::kHit) continue;
            ASSERT_EQ(first.line, line) << round << " block " << block;
            ASSERT_EQ(found.size(), expectedFound.size()) << round << " block " << block;
            for (std::size_t i = 0; i < found.size(); ++i) {
                std::uint32_t number = 0;
                CodeSet::Parse(expectedFound[i], number);
                ASSERT_EQ(found[i], number) << round << " block " << block;
            }
            LineCollector after;
            scanner.ReadLine(after);
            ASSERT_EQ(after.line, next) << round << " block " << block;
        }
    }
}

TEST(LineScannerTest, LeadByteBeforeTheCodeHidesItsFirstDigit) {
    // 0x81 takes the following "0" as its trail byte, so the code is not at a character boundary
    // on the first line; the second line holds it properly.
    const std::string content =
        "a\x81"
        "0600000,x\n\x8E\x73\x8E\x73,0600000,y\n";
    MemoryFile file(content);
    LineCollector sink;
    ASSERT_EQ(FindFirst(file, "0600000", sink, 4), ScanResult::kHit);
    EXPECT_EQ(sink.line, "\x8E\x73\x8E\x73,0600000,y");
}

TEST(LineScannerTest, LineStartedBlocksEarlierIsFedFromItsStartUpToTheKeptBytes) {
    // Lines whose code lies further in than a block, and further in than the start kept of a
    // line: the latter is fed as far as the kept bytes, its codes still found to its end.
    const std::string tail = ",0600000,1234567,tail";
    for (const std::size_t filler : {std::size_t{300000}, 2 * kKeptLineBytes}) {
        const std::string longLine = "head," + std::string(filler, 'x') + tail;
        MemoryFile file("first\n" + longLine + "\nnext 0600000\n");
        LineScanner scanner(file, 4096);
        CodeSet codes;
        for (const std::uint32_t code : {600000u, 1234567u}) codes.Insert(code);
        LineCollector sink;
        std::vector<std::uint32_t> found;
        ASSERT_EQ(scanner.FindLine(codes, sink, found), ScanResult::kHit);
        EXPECT_TRUE(sink.line == longLine.substr(0, std::min(longLine.size(), kKeptLineBytes)))
            << filler << ": " << sink.line.size() << " bytes";
        EXPECT_EQ(found, (std::vector<std::uint32_t>{600000u, 1234567u})) << filler;
        LineCollector next;
        ASSERT_EQ(scanner.ReadLine(next), ScanResult::kHit);
        EXPECT_EQ(next.line, "next 0600000") << filler;
    }
}

TEST(LineScannerTest, LineGoingOnBlocksLaterIsFedToItsEnd) {
    const std::string longLine = "0600000," + std::string(300000, '\x82') + "x,tail";
    MemoryFile file(longLine + "\r\nafter");
    LineCollector sink;
    ASSERT_EQ(FindFirst(file, "0600000", sink, 4096), ScanResult::kHit);
    EXPECT_EQ(sink.line, longLine + "\r");
    EXPECT_GT(sink.pieces, 1);
}

TEST(LineScannerTest, ReadErrorsEndTheScan) {
    const std::string content = std::string(10000, 'a') + "\n0600000\n";
    for (std::size_t failAt : {0u, 5000u, 10003u}) {
        MemoryFile file(content, failAt);
        LineCollector sink;
        EXPECT_EQ(FindFirst(file, "0600000", sink, 1024), ScanResult::kReadError) << failAt;
    }
}

TEST(LineScannerTest, EmptyInputAndEmptyCodeFindNothing) {
    MemoryFile empty("");
    LineCollector sink;
    EXPECT_EQ(FindFirst(empty, "0600000", sink), ScanResult::kNoHit);
    MemoryFile some("abc\n");
    EXPECT_EQ(FindFirst(some, "", sink), ScanResult::kNoHit);
    EXPECT_EQ(sink.pieces, 0);
}

struct PickCase {
    const char* name;
    std::string line;
    std::vector<std::string> expected;  // columns 2, 3, 4
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.name;
}

std::string PickCaseName(const ::testing::TestParamInfo<PickCase>& param) {
    std::string name = param.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

class ColumnPickerTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(ColumnPickerTest, TakesClosedColumnsWithoutTheirQuotes) {
    const PickCase& c = GetParam();
    // Whole, and in pieces of every small size.
    for (std::size_t piece : {c.line.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
        ColumnPicker picker({2, 3, 4});
        for (std::size_t at = 0; at < c.line.size(); at += piece) {
            picker.Feed(std::string_view(c.line).substr(at, piece));
        }
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(picker.Column(i), c.expected[i])
                << c.name << " column " << i + 2 << " piece " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ColumnPickerTest,
    ::testing::Values(
        PickCase{"quoted", "0,\"a\",\"b\",\"c\",\"d\",9", {"b", "c", "d"}},
        PickCase{"unquoted", "0,a,bb,cc,dd,9", {"bb", "cc", "dd"}},
        PickCase{"empty", "0,a,,\"\",,9", {"", "", ""}},
        PickCase{"only opening quote", "0,a,\"bb,cc\",\"d,9", {"\"bb", "cc\"", "\"d"}},
        PickCase{"lone quote", "0,a,\",\"\",x,", {"\"", "", "x"}},
        // Double-byte text ending in a trail byte that is not a quote is kept whole.
        PickCase{"double-byte",
                 "0,a,\x8E\x73,\"\x8E\x44\x96\x79\",\x92\x86,",
                 {"\x8E\x73", "\x8E\x44\x96\x79", "\x92\x86"}},
        PickCase{
            "line ends before the last closing comma", "0,a,\"b\",\"c\",\"d\"", {"b", "c", ""}},
        PickCase{"too few columns", "0,a,\"b\"", {"", "", ""}},
        PickCase{"no comma", "0600000", {"", "", ""}},
        PickCase{"NUL bytes", "0,a,\"b\0b\",c\0,\"\",\"z\","s, {"b\0b"s, "c\0"s, ""}},
        PickCase{"quotes inside", "0,a,\"say \"hi\"\",x,y,", {"say \"hi\"", "x", "y"}}),
    PickCaseName);

TEST(ColumnPickerTest, LongColumnsAreCappedAtACharacterBoundary) {
    // A quoted column of 5 double-byte characters and one of 7 bytes, capped at 5 bytes.
    const std::string wide = "\x8E\x73\x8E\x73\x8E\x73\x8E\x73\x8E\x73";
    ColumnPicker picker({0, 1, 2}, 5);
    picker.Feed("\"" + wide + "\",abcdefg,\"ab\",");
    EXPECT_EQ(picker.Column(0), "\x8E\x73\x8E\x73");
    EXPECT_EQ(picker.Column(1), "abcde");
    EXPECT_EQ(picker.Column(2), "ab");
}

}  // namespace
}  // namespace marupo::postal
