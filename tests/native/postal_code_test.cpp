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
        NormalizeCase{"", false, ""},
        // Seven or eight bytes with fewer than seven digits.
        NormalizeCase{"123--456", false, ""}, NormalizeCase{"abcdefg", false, ""},
        // Full-width digits are two bytes each and never count as digits.
        NormalizeCase{"\x82\x4F\x82\x50\x82\x51\x82\x52", false, ""},  // ０１２３
        NormalizeCase{"123456\x82\x56", false, ""},                    // 123456７
        // A double-byte character counts two bytes: seven digits and one makes nine.
        NormalizeCase{"1234567\x81\x5B", false, ""},  // 1234567ー
        // A half-width katakana is one byte.
        NormalizeCase{"123\xB0"
                      "4567",
                      true, "1234567"}));  // 123ｰ4567

}  // namespace
}  // namespace marupo
