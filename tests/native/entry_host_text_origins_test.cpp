#include <gtest/gtest.h>

#include <set>
#include <string>

#include "entry/address_entry.h"
#include "entry/host_object_ref.h"
#include "entry/host_text_origins.h"
#include "host/error_text.h"

namespace marupo {
namespace {

constexpr int kFieldCount = static_cast<int>(HostTextField::kCount);

// "?田": 𠮷田 as the ANSI code page shows it.
const std::string kLossyAnsi = "?\x93\x63";
const std::u16string kHostText = u"\U00020BB7\u7530";

TEST(HostTextOriginsTest, UnchangedFieldGivesTheHostTextBack) {
    HostTextOrigins origins;
    origins.Record(HostTextField::kSurname, kLossyAnsi, kHostText);
    const std::u16string* original = origins.Original(HostTextField::kSurname, kLossyAnsi);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(*original, kHostText);
}

TEST(HostTextOriginsTest, ChangedOrUnreadFieldHasNoOrigin) {
    HostTextOrigins origins;
    origins.Record(HostTextField::kSurname, kLossyAnsi, kHostText);
    EXPECT_EQ(origins.Original(HostTextField::kSurname, "\x8b\x67\x93\x63"), nullptr);  // 吉田
    EXPECT_EQ(origins.Original(HostTextField::kSurname, ""), nullptr);
    EXPECT_EQ(origins.Original(HostTextField::kSurname, kLossyAnsi + " "), nullptr);
    // Another field with the very same text was never read from the host.
    EXPECT_EQ(origins.Original(HostTextField::kGivenName, kLossyAnsi), nullptr);
}

TEST(HostTextOriginsTest, EveryFieldKeepsItsOwnOrigin) {
    HostTextOrigins origins;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<HostTextField>(i);
        origins.Record(field, "?" + std::to_string(i),
                       u"\U0001F600" + std::u16string(1, char16_t(u'A' + i)));
    }
    for (int i = 0; i < kFieldCount; ++i) {
        SCOPED_TRACE(i);
        const auto* original =
            origins.Original(static_cast<HostTextField>(i), "?" + std::to_string(i));
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(*original, u"\U0001F600" + std::u16string(1, char16_t(u'A' + i)));
    }
}

TEST(HostTextOriginsTest, CopyAndForget) {
    HostTextOrigins origins;
    origins.Record(HostTextField::kViewCategory, kLossyAnsi, kHostText);
    origins.CopyOrigin(HostTextField::kViewCategory, HostTextField::kCategory);
    ASSERT_NE(origins.Original(HostTextField::kCategory, kLossyAnsi), nullptr);
    EXPECT_EQ(*origins.Original(HostTextField::kCategory, kLossyAnsi), kHostText);

    origins.Forget(HostTextField::kViewCategory);
    EXPECT_EQ(origins.Original(HostTextField::kViewCategory, kLossyAnsi), nullptr);
    EXPECT_NE(origins.Original(HostTextField::kCategory, kLossyAnsi), nullptr);

    // A later read replaces the earlier origin.
    origins.Record(HostTextField::kCategory, "x", u"x");
    EXPECT_EQ(origins.Original(HostTextField::kCategory, kLossyAnsi), nullptr);
}

TEST(HostTextOriginsTest, OutOfRangeFieldIsRefused) {
    HostTextOrigins origins;
    EXPECT_THROW(origins.Record(HostTextField::kCount, "a", u"a"), std::out_of_range);
    EXPECT_THROW(origins.Original(static_cast<HostTextField>(-1), "a"), std::out_of_range);
}

TEST(HostTextOriginsTest, EntryCopiesCarryTheOrigins) {
    AddressEntry entry;
    entry.hostTextOrigins.Record(HostTextField::kNote, kLossyAnsi, kHostText);
    const AddressEntry copy = entry;
    ASSERT_NE(copy.hostTextOrigins.Original(HostTextField::kNote, kLossyAnsi), nullptr);
    entry.hostTextOrigins.Forget(HostTextField::kNote);
    EXPECT_NE(copy.hostTextOrigins.Original(HostTextField::kNote, kLossyAnsi), nullptr);
}

TEST(EntryTextTest, EveryFieldIdNamesItsOwnMember) {
    AddressEntry entry;
    for (int i = 0; i < kFieldCount; ++i) {
        EntryText(entry, static_cast<HostTextField>(i)) = "field" + std::to_string(i);
    }
    struct Row {
        HostTextField field;
        const std::string* member;
    };
    const Row rows[] = {
        {HostTextField::kGivenName, &entry.givenName},
        {HostTextField::kGivenNameReading, &entry.givenNameReading},
        {HostTextField::kSurname, &entry.surname},
        {HostTextField::kSurnameReading, &entry.surnameReading},
        {HostTextField::kTitle, &entry.title},
        {HostTextField::kCompany, &entry.company},
        {HostTextField::kCompanyReading, &entry.companyReading},
        {HostTextField::kPostalCode, &entry.postalCode},
        {HostTextField::kPrefecture, &entry.prefecture},
        {HostTextField::kCity, &entry.city},
        {HostTextField::kStreet, &entry.street},
        {HostTextField::kCountry, &entry.country},
        {ContactTextField(0), &entry.contactSlots[0].text},
        {ContactTextField(4), &entry.contactSlots[4].text},
        {CustomFieldField(0), &entry.customFields[0]},
        {CustomFieldField(3), &entry.customFields[3]},
        {HostTextField::kNote, &entry.note},
        {HostTextField::kCategory, &entry.category},
        {HostTextField::kViewCategory, &entry.viewCategory},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.field));
        EXPECT_EQ(*row.member, "field" + std::to_string(static_cast<int>(row.field)));
        EXPECT_EQ(&EntryText(entry, row.field), row.member);
    }
    std::set<const std::string*> distinct;
    for (int i = 0; i < kFieldCount; ++i)
        distinct.insert(&EntryText(entry, static_cast<HostTextField>(i)));
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kFieldCount));
    EXPECT_THROW(EntryText(entry, HostTextField::kCount), std::out_of_range);
}

struct CountedObject {
    int releases = 0;
    static void Release(void* object) { ++static_cast<CountedObject*>(object)->releases; }
};

TEST(HostObjectRefTest, CopiesShareTheOneReferenceReleasedByTheLast) {
    CountedObject object;
    {
        AddressEntry entry;
        entry.hostCategories = HostObjectRef(&object, &CountedObject::Release);
        EXPECT_EQ(entry.hostCategories.Get(), &object);
        {
            AddressEntry copy = entry;
            EXPECT_EQ(copy.hostCategories.Get(), &object);
        }
        EXPECT_EQ(object.releases, 0);
    }
    EXPECT_EQ(object.releases, 1);
}

TEST(HostObjectRefTest, ReplacingOrResettingReleasesAndEmptyIsNeverReleased) {
    CountedObject first;
    CountedObject second;
    HostObjectRef ref(&first, &CountedObject::Release);
    ref = HostObjectRef(&second, &CountedObject::Release);
    EXPECT_EQ(first.releases, 1);
    ref.Reset();
    EXPECT_EQ(second.releases, 1);
    EXPECT_FALSE(ref);
    const HostObjectRef none(nullptr, &CountedObject::Release);  // would crash if released
    EXPECT_FALSE(none);
    EXPECT_EQ(AddressEntry().hostCategories.Get(), nullptr);
}

TEST(ErrorTextTest, FinalLineBreakIsTrimmed) {
    struct Row {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Row rows[] = {
        {L"Invalid pointer\r\n", L"Invalid pointer"},
        {L"Invalid pointer\n", L"Invalid pointer"},
        {L"two\r\nlines\r\n", L"two\r\nlines"},
        {L"only one\r\n\r\n", L"only one\r\n"},  // a single line break comes off
        {L"no break", L"no break"},
        {L"ends in cr\r", L"ends in cr\r"},
        {L"\n", L"\n"},  // one character: kept
        {L"\r\n", L""},
        {L"", L""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrimMessageLineEnd(row.in), row.out) << "input length " << wcslen(row.in);
    }
}

TEST(ErrorTextTest, FallbackNamesDispatchErrorsOrTheCode) {
    struct Row {
        std::uint32_t hr;
        const wchar_t* text;
    };
    const Row rows[] = {
        {0x80040201, L"IDispatch error #1"},
        {0x80040300, L"IDispatch error #256"},
        {0x8004FFFF, L"IDispatch error #65023"},
        {0x80040200, L"Unknown error 0x80040200"},  // difference 0
        {0x800401FF, L"Unknown error 0x800401FF"},
        {0x80050000, L"Unknown error 0x80050000"},
        {0x8007000E, L"Unknown error 0x8007000E"},
        {0x00000001, L"Unknown error 0x1"},
        {0x0000ABCD, L"Unknown error 0xABCD"},
        {0xFFFFFFFF, L"Unknown error 0xFFFFFFFF"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FallbackErrorText(static_cast<std::int32_t>(row.hr)), row.text)
            << std::hex << row.hr;
    }
}

}  // namespace
}  // namespace marupo
