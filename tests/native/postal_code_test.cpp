#include <gtest/gtest.h>

#include <string>

#include "postal/postal_code.h"

namespace marupo {
namespace {

struct NormalizeCase {
    std::string typed;
    bool valid;
    std::string digits;
};

class NormalizePostalCodeTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizePostalCodeTest, ValidatesAndKeepsTheSevenDigits) {
    const NormalizeCase& c = GetParam();
    std::string digits = "stale";
    EXPECT_EQ(NormalizePostalCode(c.typed, digits), c.valid) << c.typed;
    EXPECT_EQ(digits, c.valid ? c.digits : "") << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormalizePostalCodeTest,
    ::testing::Values(
        NormalizeCase{"0600000", true, "0600000"}, NormalizeCase{"123-4567", true, "1234567"},
        NormalizeCase{"12-34567", true, "1234567"}, NormalizeCase{"1234567-", true, "1234567"},
        NormalizeCase{"-1234567", true, "1234567"}, NormalizeCase{"123 4567", true, "1234567"},
        NormalizeCase{"123a4567", true, "1234567"},
        // Eight digits, with or without a hyphen: an eighth digit makes the text invalid.
        NormalizeCase{"12345678", false, ""}, NormalizeCase{"1234-5678", false, ""},
        // Nine bytes, six bytes, empty.
        NormalizeCase{"123-45678", false, ""}, NormalizeCase{"123456", false, ""},
        NormalizeCase{"", false, ""}, NormalizeCase{"\x81\xA7 ", false, ""},
        // Seven or eight bytes with fewer than seven digits.
        NormalizeCase{"123--456", false, ""}, NormalizeCase{"abcdefg", false, ""},
        // As a Japanese user types it: full-width digits, hyphen-like characters and blanks count
        // as their ASCII forms, and 〒 marks and blanks around the code are dropped.
        NormalizeCase{"\x82\x4F\x82\x55\x82\x53\x81\x7C\x82\x4F\x82\x58\x82\x53\x82\x50", true,
                      "0640941"},  // ０６４－０９４１
        NormalizeCase{"\x81\xA7"
                      "064-0941",
                      true, "0640941"},  // 〒064-0941
        NormalizeCase{"064\x81\x7C"
                      "0941",
                      true, "0640941"},  // 064－0941
        NormalizeCase{"064\x81\x5D"
                      "0941",
                      true, "0640941"},  // 064‐0941
        NormalizeCase{"064\x81\x5C"
                      "0941",
                      true, "0640941"},  // 064―0941
        NormalizeCase{"064\x81\x5B"
                      "0941",
                      true, "0640941"},  // 064ー0941
        NormalizeCase{"064\x81\x40"
                      "0941",
                      true, "0640941"},  // 064　0941
        NormalizeCase{"\x81\x40\x81\xA7 \x81\xA7"
                      "0640941 \x81\xA7\x81\x40",
                      true, "0640941"},                    // 　〒 〒0640941 〒　
        NormalizeCase{"123456\x82\x56", true, "1234567"},  // 123456７
        // Still invalid: eight digits, letters, two hyphens, a mark inside the code.
        NormalizeCase{"\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57", false,
                      ""},  // １２３４５６７８
        NormalizeCase{"\x82\x60"
                      "123456",
                      false, ""},  // Ａ123456
        NormalizeCase{"123\x81\x7C\x81\x7C"
                      "456",
                      false, ""},  // 123－－456
        NormalizeCase{"123\x81\xA7"
                      "4567",
                      false, ""},  // 123〒4567
        // A double-byte character counts two bytes: seven digits and one makes nine.
        NormalizeCase{"1234567\x81\x45", false, ""},  // 1234567・
        // A half-width katakana is one byte.
        NormalizeCase{"123\xB0"
                      "4567",
                      true, "1234567"}));  // 123ｰ4567

}  // namespace
}  // namespace marupo
