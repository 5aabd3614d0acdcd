#include "text/sjis.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <random>
#include <string>
#include <vector>

#include "text/encoding.h"

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
}

TEST(SjisTest, TruncatedLeadByteAtEndCountsAsOneByte) {
    const std::string s = "ab\x8E";
    EXPECT_EQ(CharLengthAt(s, 2), 1u);
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
    const std::string city =
        "\x8E\x44\x96\x79" + kShi + "\x92\x86\x89\x9B\x8B\xE6";  // 札幌市中央区
    EXPECT_EQ(FindCharWise(city, kShi), 4u);
    EXPECT_EQ(FindCharWise(city + kShi, kShi, 5), 12u);
    EXPECT_EQ(FindCharWise("", kShi), std::string::npos);
}

// The boundaries a character-wise walk from the start visits.
std::vector<bool> WalkedBoundaries(const std::string& s) {
    std::vector<bool> boundary(s.size() + 1, false);
    for (std::size_t pos = 0; pos < s.size(); pos += CharLengthAt(s, pos)) boundary[pos] = true;
    boundary[s.size()] = true;
    return boundary;
}

TEST(SjisTest, IsCharBoundaryAgreesWithForwardWalk) {
    // Bytes chosen to make long runs of lead-byte values, trail bytes that are lead values, and
    // ASCII in between.
    const unsigned char alphabet[] = {0x81, 0x8E, 0x9F, 0xE0, 0xFC, 0x73, 0x40, 0x5C, 'a', '0'};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string s(random() % 24, '\0');
        for (char& c : s) c = static_cast<char>(alphabet[random() % sizeof alphabet]);
        const std::vector<bool> expected = WalkedBoundaries(s);
        for (std::size_t pos = 0; pos <= s.size(); ++pos) {
            ASSERT_EQ(IsCharBoundary(s, pos), expected[pos]) << "round " << round << " pos " << pos;
        }
    }
}

TEST(SjisTest, TruncateToBytesNeverCutsACharacter) {
    const std::string city = "\x8E\x44\x96\x79" + kShi;  // 札幌市
    EXPECT_EQ(TruncateToBytes(city, 6), city);
    EXPECT_EQ(TruncateToBytes(city, 5), "\x8E\x44\x96\x79");
    EXPECT_EQ(TruncateToBytes(city, 4), "\x8E\x44\x96\x79");
    EXPECT_EQ(TruncateToBytes(city, 1), "");
    EXPECT_EQ(TruncateToBytes("ab" + kShi, 3), "ab");
    EXPECT_EQ(TruncateToBytes("abc", 0), "");
}

TEST(SjisTest, CharactersIteratesOneCharacterPerStep) {
    const std::string s = "a" + kShi + "\xB1" + kHyou + "\x8E";
    std::vector<std::string> pieces;
    for (std::string_view ch : Characters(s)) {
        pieces.emplace_back(ch);
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", kShi, "\xB1", kHyou, "\x8E"}));
    EXPECT_EQ(Characters("").begin(), Characters("").end());
}

TEST(EncodingTest, ConvertsBetweenCodePage932AndUtf8) {
    // 札幌市中央区, half-width ｱ, the postal mark 〒, the CP932-only ① and ～ (FF5E in CP932).
    const std::string sjis =
        "\x8E\x44\x96\x79\x8E\x73\x92\x86\x89\x9B\x8B\xE6\xB1\x81\xA7\x87\x40\x81\x60";
    const std::string utf8 = "札幌市中央区ｱ〒①～";
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
    EXPECT_EQ(Utf8ToCp932(utf8), sjis);
    EXPECT_EQ(Cp932ToUtf8("abc-123"), "abc-123");
    // Half-width kana take one byte and three in UTF-8: a long text outgrows any first guess.
    const std::string kana(3000, '\xB1');
    std::string kanaUtf8;
    for (std::size_t i = 0; i < kana.size(); ++i) kanaUtf8 += "ｱ";
    EXPECT_EQ(Cp932ToUtf8(kana), kanaUtf8);
    EXPECT_EQ(Utf8ToCp932(kanaUtf8), kana);
    EXPECT_EQ(Cp932ToUtf8(""), "");
    EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(EncodingTest, BytesThatDoNotConvertAreReplacedAndConversionGoesOn) {
    // A lead byte at the end (truncated character) and an embedded NUL.
    const std::string out = Cp932ToUtf8(std::string("a\0b\x8E", 4));
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out.substr(0, 3), std::string("a\0b", 3));
    EXPECT_GT(out.size(), 3u);  // something stands for the broken character
    // Text that Shift-JIS cannot hold (an emoji) does not stop the rest.
    const std::string back = Utf8ToCp932("x\xF0\x9F\x98\x80y");
    ASSERT_GE(back.size(), 3u);
    EXPECT_EQ(back.front(), 'x');
    EXPECT_EQ(back.back(), 'y');
}

#ifdef _WIN32
TEST(EncodingTest, AConversionTheSystemRefusesThrowsItsErrorCode) {
    constexpr unsigned kNoSuchCodePage = 12345;
    const auto refusal = [](const auto& convert) {
        try {
            convert();
        } catch (const ConversionError& error) {
            return error.Code();
        }
        return 0ul;
    };
    EXPECT_EQ(refusal([] { MultiByteToWide(kNoSuchCodePage, "abc"); }),
              static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(refusal([] { WideToMultiByte(kNoSuchCodePage, L"abc"); }),
              static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
}
#endif

struct CompareCase {
    std::string a;
    std::string b;
    int sign;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.a) << " vs " << ::testing::PrintToString(c.b);
}

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
                      CompareCase{"\x82\xA0", "\x82\xA2", -1},
                      CompareCase{"\x88\x9F", "\x82\xFC", 1},
                      // A double-byte character sorts after every ASCII letter.
                      CompareCase{"z", "\x81\x40", -1}));

TEST(SjisTest, StartsWithIgnoringCaseFoldsLettersOnly) {
    struct Case {
        const char* text;
        const char* prefix;
        bool expected;
    } const cases[] = {
        {"Bus", "bus", true},
        {"business", "BUS", true},
        {"Bus", "busy", false},
        {"anything", "", true},
        {"\x82\x61\x82\x95", "\x82\x60\x82\x74", false},  // full-width Ｂｕ, ＡＵ
        {"\x82\x61\x82\x95", "\x82\x82\x82\x74", true},   // Ｂｕ begins with ｂＵ
        {"\x83\x41", "\x83\x61", false},  // ア is not ヂ: trail bytes 'A' and 'a' are no letters
        {"\x83\x41x", "\x83", false},     // half a character never matches
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartsWithIgnoringCase(c.text, c.prefix), c.expected)
            << c.text << " / " << c.prefix;
}

}  // namespace
}  // namespace marupo::text
