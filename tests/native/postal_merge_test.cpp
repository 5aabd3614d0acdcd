#include "postal/postal_merge.h"

#include <gtest/gtest.h>

#include <string>

namespace marupo {
namespace {

// Shift-JIS texts used below.
const std::string kHokkaido = "\x96\x6B\x8A\x43\x93\xB9";  // 北海道
const std::string kSapporoChuo =
    "\x8E\x44\x96\x79\x8E\x73\x92\x86\x89\x9B\x8B\xE6";      // 札幌市中央区
const std::string kOdoriNishi = "\x91\xE5\x92\xCA\x90\xBC";  // 大通西
const std::string kTokyo = "\x93\x8C\x8B\x9E\x93\x73";       // 東京都
const std::string kPostalMark = "\x81\xA7";                  // 〒

AddressEntry Entry(std::string prefecture, std::string city, std::string street) {
    AddressEntry entry;
    entry.prefecture = std::move(prefecture);
    entry.city = std::move(city);
    entry.street = std::move(street);
    return entry;
}

PostalAddress Found() {
    return {kHokkaido, kSapporoChuo, kOdoriNishi};
}

TEST(PostalMergeTest, OnlyThreeEmptyAddressFieldsCountAsNoAddress) {
    struct Case {
        const char* name;
        AddressEntry entry;
        bool empty;
    };
    AddressEntry otherFieldsFilled;
    otherFieldsFilled.postalCode = "0600042";
    otherFieldsFilled.country = "Japan";
    otherFieldsFilled.surname = "x";
    const Case cases[] = {
        {"all empty", Entry("", "", ""), true},
        {"other fields do not count", otherFieldsFilled, true},
        {"only street", Entry("", "", "1-2-3"), false},
        {"only city", Entry("", "c", ""), false},
        {"only prefecture", Entry(kTokyo, "", ""), false},
        {"blank prefecture", Entry(" ", "", ""), false},
        {"line break in street", Entry("", "", "\r\n"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HoldsNoAddress(c.entry), c.empty) << c.name;
    }
}

TEST(PostalMergeTest, FillAddressReplacesTheThreeFieldsOnly) {
    AddressEntry entry = Entry("", "", "");
    entry.postalCode = "060-0042";
    entry.country = "JP";
    FillAddress(entry, Found());
    EXPECT_EQ(entry.prefecture, kHokkaido);
    EXPECT_EQ(entry.city, kSapporoChuo);
    EXPECT_EQ(entry.street, kOdoriNishi);
    EXPECT_EQ(entry.postalCode, "060-0042");
    EXPECT_EQ(entry.country, "JP");
}

TEST(PostalMergeTest, PreparedUpdateSetsOldBesideNewAndStartsOnRewriteAll) {
    AddressEntry entry = Entry(kTokyo, "Chiyoda", "1-2-3");
    entry.postalCode = "060-0042";
    const AddressUpdate update = PrepareAddressUpdate(entry, Found(), "0600042");
    EXPECT_EQ(update.postalLine, kPostalMark + " 060-0042");
    EXPECT_EQ(update.oldPrefecture, kTokyo);
    EXPECT_EQ(update.oldCity, "Chiyoda");
    EXPECT_EQ(update.oldStreet, "1-2-3");
    EXPECT_EQ(update.newPrefecture, kHokkaido);
    EXPECT_EQ(update.newCity, kSapporoChuo);
    EXPECT_EQ(update.rewriteStreet, kOdoriNishi);
    EXPECT_EQ(update.appendStreet, kOdoriNishi + ";1-2-3");
    EXPECT_EQ(update.newStreetShown, kOdoriNishi);
    EXPECT_EQ(update.choice, kRewriteAll);
}

TEST(PostalMergeTest, PostalLineWritesTheSevenDigitsWithTheirHyphen) {
    // Typed 〒064-0941, the line reads "〒 064-0941", not "〒 〒064-0941".
    AddressEntry entry = Entry("p", "", "");
    entry.postalCode = kPostalMark + "064-0941";
    EXPECT_EQ(PrepareAddressUpdate(entry, Found(), "0640941").postalLine,
              kPostalMark + " 064-0941");
}

TEST(PostalMergeTest, RadioChoicesSwitchTheStreetShown) {
    AddressUpdate update = PrepareAddressUpdate(Entry("p", "c", "1-2-3"), Found(), "0600042");
    ChooseAppendOldStreet(update);
    EXPECT_EQ(update.choice, kAppendOldStreet);
    EXPECT_EQ(update.newStreetShown, kOdoriNishi + ";1-2-3");
    ChooseRewriteAll(update);  // back again: the found street alone
    EXPECT_EQ(update.choice, kRewriteAll);
    EXPECT_EQ(update.newStreetShown, kOdoriNishi);
    // The switch never alters the streets it chooses between.
    EXPECT_EQ(update.rewriteStreet, kOdoriNishi);
    EXPECT_EQ(update.appendStreet, kOdoriNishi + ";1-2-3");
}

TEST(PostalMergeTest, ApplyWritesTheChosenStreet) {
    struct Case {
        const char* name;
        AddressEntry before;
        std::int32_t choice;
        AddressEntry after;
    };
    const Case cases[] = {
        {"rewrite all", Entry(kTokyo, "c", "1-2-3"), kRewriteAll,
         Entry(kHokkaido, kSapporoChuo, kOdoriNishi)},
        {"append old street", Entry(kTokyo, "c", "1-2-3"), kAppendOldStreet,
         Entry(kHokkaido, kSapporoChuo, kOdoriNishi + ";1-2-3")},
        {"append to an empty old street", Entry(kTokyo, "", ""), kAppendOldStreet,
         Entry(kHokkaido, kSapporoChuo, kOdoriNishi + ";")},
        {"append keeps line breaks of the old street", Entry("p", "c", "a\r\nb"), kAppendOldStreet,
         Entry(kHokkaido, kSapporoChuo, kOdoriNishi + ";a\r\nb")},
        {"no radio checked applies nothing", Entry(kTokyo, "c", "1-2-3"), -1,
         Entry(kTokyo, "c", "1-2-3")},
        {"out-of-range choice applies nothing", Entry(kTokyo, "c", "1-2-3"), 2,
         Entry(kTokyo, "c", "1-2-3")},
    };
    for (const auto& c : cases) {
        AddressEntry values = c.before;
        AddressUpdate update = PrepareAddressUpdate(values, Found(), "0600042");
        update.choice = c.choice;
        ApplyAddressUpdate(update, values);
        EXPECT_EQ(values.prefecture, c.after.prefecture) << c.name;
        EXPECT_EQ(values.city, c.after.city) << c.name;
        EXPECT_EQ(values.street, c.after.street) << c.name;
    }
}

TEST(PostalMergeTest, ApplyFollowsTheChoiceNotTheStreetShown) {
    // OK takes the radio state back into the choice; the shown text may lag behind it.
    AddressEntry values = Entry("p", "c", "old");
    AddressUpdate update = PrepareAddressUpdate(values, Found(), "0600042");
    ChooseAppendOldStreet(update);
    update.choice = kRewriteAll;
    ApplyAddressUpdate(update, values);
    EXPECT_EQ(values.street, kOdoriNishi);
}

TEST(PostalMergeTest, AppendedStreetOverThePageLimitIsKeptWhole) {
    const std::string oldStreet(250, 'x');
    AddressEntry values = Entry("p", "c", oldStreet);
    AddressUpdate update = PrepareAddressUpdate(values, Found(), "0600042");
    ChooseAppendOldStreet(update);
    ApplyAddressUpdate(update, values);
    EXPECT_EQ(values.street.size(), kOdoriNishi.size() + 1 + oldStreet.size());
    EXPECT_EQ(values.street, kOdoriNishi + ";" + oldStreet);
}

}  // namespace
}  // namespace marupo
