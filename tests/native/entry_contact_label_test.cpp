#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "entry/address_entry.h"
#include "entry/contact_label.h"
#include "text/encoding.h"

namespace marupo {
namespace {

// The escaped bytes are checked against the characters a user reads rather than against
// themselves.
using text::Cp932ToUtf8;

struct LabelRow {
    std::int32_t value;
    const char* utf8Name;
    unsigned menuId;
};

// The host's label numbers, what the user reads and the popup menu's item ids.
constexpr LabelRow kLabels[] = {
    {labelCompany, "会社", 32768},   {labelHome, "自宅", 32769},    {labelFax, "Fax", 32770},
    {labelOther, "その他", 32776},   {labelEmail, "E-Mail", 32772}, {labelMain, "代表", 32773},
    {labelPager, "ポケベル", 32774}, {labelMobile, "携帯", 32775},
};

TEST(ContactLabelTest, NamesAreTheShiftJisOfEachLabel) {
    for (const auto& row : kLabels) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(Cp932ToUtf8(ContactLabelName(row.value)), row.utf8Name);
    }
}

TEST(ContactLabelTest, ValuesMapToMenuItemsAndBack) {
    for (const auto& row : kLabels) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(ContactLabelMenuId(row.value), row.menuId);
        ASSERT_TRUE(ContactLabelFromMenuId(row.menuId).has_value());
        EXPECT_EQ(*ContactLabelFromMenuId(row.menuId), row.value);
    }
}

TEST(ContactLabelTest, OtherIsItem32776AndItem32771IsNoLabel) {
    EXPECT_EQ(ContactLabelFromMenuId(32776), std::optional<std::int32_t>(labelOther));
    EXPECT_FALSE(ContactLabelFromMenuId(32771).has_value());
    EXPECT_FALSE(ContactLabelFromMenuId(32767).has_value());
    EXPECT_FALSE(ContactLabelFromMenuId(32777).has_value());
    EXPECT_FALSE(ContactLabelFromMenuId(0).has_value());
}

TEST(ContactLabelTest, ValuesOutsideTheTableCheckTheFirstItemAndHaveNoName) {
    for (std::int32_t value : {-1, 8, 9, 100, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(ContactLabelMenuId(value), 32768u);
        EXPECT_TRUE(ContactLabelName(value).empty());
    }
}

TEST(AddressEntryTest, NewEntryHasTheStartValues) {
    const AddressEntry entry;
    for (const std::string* text :
         {&entry.givenName, &entry.givenNameReading, &entry.surname, &entry.surnameReading,
          &entry.title, &entry.company, &entry.companyReading, &entry.postalCode, &entry.prefecture,
          &entry.city, &entry.street, &entry.country, &entry.note, &entry.category,
          &entry.viewCategory}) {
        EXPECT_TRUE(text->empty());
    }
    const char* const slotNames[] = {"会社", "自宅", "Fax", "その他", "E-Mail"};
    for (int i = 0; i < kContactSlotCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entry.contactSlots[i].labelIndex, i);
        EXPECT_EQ(Cp932ToUtf8(ContactLabelName(entry.contactSlots[i].labelIndex)), slotNames[i]);
        EXPECT_TRUE(entry.contactSlots[i].text.empty());
    }
    for (int i = 0; i < kCustomFieldCount; ++i) {
        EXPECT_TRUE(entry.customFields[i].empty());
        EXPECT_TRUE(entry.customLabels[i].empty());
    }
    EXPECT_EQ(entry.primarySlot, -1);
    EXPECT_FALSE(entry.isPrivate);
    EXPECT_FALSE(entry.editsExisting);
}

}  // namespace
}  // namespace marupo
