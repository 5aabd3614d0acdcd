#include "text/sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace marupo::text {
namespace {

// 市 is 0x8E 0x73; 表 is 0x95 0x5C (trail byte equals a backslash).
const std::string kShi = "\x8E\x73";
const std::string kHyou = "\x95\x5C";

TEST(SjisTest, CharLengthStepsOverDoubleByteCharacters) {
    const std::string s = "a" + kShi + "b";
    EXPECT_EQ(CharLengthAt(s, 0), 1u);
    EXPECT_EQ(CharLengthAt(s, 1), 2u);
    EXPECT_EQ(CharLengthAt(s, 3), 1u);
    EXPECT_EQ(CharLengthAt(s, 4), 0u);
    EXPECT_EQ(CharCount(s), 3u);
}

TEST(SjisTest, TruncatedLeadByteAtEndCountsAsOneByte) {
    const std::string s = "ab\x8E";
    EXPECT_EQ(CharLengthAt(s, 2), 1u);
    EXPECT_EQ(CharCount(s), 3u);
}

TEST(SjisTest, FindCharWiseNeverMatchesAcrossCharacterBoundary) {
    // 0x8E 0x8E 0x73: the first character is 0x8E8E; 0x8E73 (市) starts at a trail byte.
    const std::string s = "\x8E\x8E\x73";
    EXPECT_EQ(FindCharWise(s, kShi), std::string::npos);
    EXPECT_EQ(s.find(kShi), 1u);  // a byte search would wrongly find it
    // A backslash searched in 表 must not match its trail byte.
    EXPECT_EQ(FindCharWise(kHyou, "\\"), std::string::npos);
}

TEST(SjisTest, FindCharWiseFindsFirstOccurrence) {
    const std::string city = "\x8E\x44\x96\x79" + kShi + "\x92\x86\x89\x9B\x8B\xE6";  // 札幌市中央区
    EXPECT_EQ(FindCharWise(city, kShi), 4u);
    EXPECT_EQ(FindCharWise(city + kShi, kShi, 5), 12u);
    EXPECT_EQ(FindCharWise("", kShi), std::string::npos);
}

struct CompareCase {
    std::string a;
    std::string b;
    int sign;
};

class CompareCp932Test : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareCp932Test, OrdersByCodeValue) {
    const CompareCase& c = GetParam();
    int result = CompareCp932(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
    int reverse = CompareCp932(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareCp932Test,
    ::testing::Values(CompareCase{"abc", "abc", 0}, CompareCase{"ab", "abc", -1},
                      CompareCase{"", "a", -1}, CompareCase{"b", "a", 1},
                      // Half-width katakana (0xB1) sorts before any double-byte character.
                      CompareCase{"\xB1", "\x82\xA0", -1},
                      // Double-byte: lead first, then trail.
                      CompareCase{"\x82\xA0", "\x82\xA2", -1}, CompareCase{"\x88\x9F", "\x82\xFC", 1},
                      // A double-byte character sorts after every ASCII letter.
                      CompareCase{"z", "\x81\x40", -1}));

}  // namespace
}  // namespace marupo::text
