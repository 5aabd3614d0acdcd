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

// A file in memory that can fail at a chosen offset and counts its seeks.
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
    bool Seek(std::uint64_t offset) override {
        ++seeks;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }

    int seeks = 0;

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
ScanResult ReferenceScan(const std::string& content, const std::string& code, std::string& line) {
    if (code.empty()) return ScanResult::noHit;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string candidate = content.substr(start, end - start);
        if (text::FindCharWise(candidate, code) != std::string::npos) {
            line = candidate;
            return ScanResult::hit;
        }
        start = end + 1;
    }
    return ScanResult::noHit;
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

TEST(ScanForFirstLineTest, AgreesWithLineByLineReferenceAtEveryBlockSize) {
    // Lead-byte values, a trail byte that is 市's, digits of the code and line breaks, so that
    // codes straddle blocks, hide behind lead bytes and lines span many blocks.
    const std::string code = "0600000";
    const std::vector<std::string> parts = {"0600000",
                                            "060000",
                                            "0",
                                            "\x8E",
                                            "\x81",
                                            "\x73",
                                            ",",
                                            "\"",
                                            "\n",
                                            "\r\n",
                                            "\x8E\x73",
                                            "a",
                                            std::string(1, '\0')};
    std::mt19937 random(3);
    for (int round = 0; round < 1500; ++round) {
        std::string content;
        const std::size_t count = random() % 40;
        for (std::size_t i = 0; i < count; ++i) content += parts[random() % parts.size()];
        std::string expectedLine;
        const ScanResult expected = ReferenceScan(content, code, expectedLine);
        for (std::size_t block : {1u, 2u, 3u, 6u, 7u, 8u, 13u, 64u, 65536u}) {
            MemoryFile file(content);
            LineCollector sink;
            const ScanResult result = ScanForFirstLine(file, code, sink, block);
            ASSERT_EQ(result, expected) << "round " << round << " block " << block;
            if (expected == ScanResult::hit) {
                ASSERT_EQ(sink.line, expectedLine) << "round " << round << " block " << block;
            }
        }
    }
}

TEST(ScanForFirstLineTest, LeadByteBeforeTheCodeHidesItsFirstDigit) {
    // 0x81 takes the following "0" as its trail byte, so the code is not at a character boundary
    // on the first line; the second line holds it properly.
    const std::string content =
        "a\x81"
        "0600000,x\n\x8E\x73\x8E\x73,0600000,y\n";
    MemoryFile file(content);
    LineCollector sink;
    ASSERT_EQ(ScanForFirstLine(file, "0600000", sink, 4), ScanResult::hit);
    EXPECT_EQ(sink.line, "\x8E\x73\x8E\x73,0600000,y");
}

TEST(ScanForFirstLineTest, LineStartedBlocksEarlierIsReadAgainFromItsStart) {
    const std::string longLine = "head," + std::string(300000, 'x') + ",0600000,tail";
    MemoryFile file("first\n" + longLine + "\nnext 0600000\n");
    LineCollector sink;
    ASSERT_EQ(ScanForFirstLine(file, "0600000", sink, 4096), ScanResult::hit);
    EXPECT_EQ(sink.line, longLine);
    EXPECT_EQ(file.seeks, 1);
}

TEST(ScanForFirstLineTest, LineGoingOnBlocksLaterIsFedToItsEnd) {
    const std::string longLine = "0600000," + std::string(300000, '\x82') + "x,tail";
    MemoryFile file(longLine + "\r\nafter");
    LineCollector sink;
    ASSERT_EQ(ScanForFirstLine(file, "0600000", sink, 4096), ScanResult::hit);
    EXPECT_EQ(sink.line, longLine + "\r");
    EXPECT_EQ(file.seeks, 0);
    EXPECT_GT(sink.pieces, 1);
}

TEST(ScanForFirstLineTest, ReadErrorsEndTheScan) {
    const std::string content = std::string(10000, 'a') + "\n0600000\n";
    for (std::size_t failAt : {0u, 5000u, 10003u}) {
        MemoryFile file(content, failAt);
        LineCollector sink;
        EXPECT_EQ(ScanForFirstLine(file, "0600000", sink, 1024), ScanResult::readError) << failAt;
    }
}

TEST(ScanForFirstLineTest, EmptyInputAndEmptyCodeFindNothing) {
    MemoryFile empty("");
    LineCollector sink;
    EXPECT_EQ(ScanForFirstLine(empty, "0600000", sink), ScanResult::noHit);
    MemoryFile some("abc\n");
    EXPECT_EQ(ScanForFirstLine(some, "", sink), ScanResult::noHit);
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
        ColumnPicker picker(2, 3);
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
    ColumnPicker picker(0, 3, 5);
    picker.Feed("\"" + wide + "\",abcdefg,\"ab\",");
    EXPECT_EQ(picker.Column(0), "\x8E\x73\x8E\x73");
    EXPECT_EQ(picker.Column(1), "abcde");
    EXPECT_EQ(picker.Column(2), "ab");
}

}  // namespace
}  // namespace marupo::postal
