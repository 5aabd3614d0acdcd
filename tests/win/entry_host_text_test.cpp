#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <climits>
#include <string>
#include <string_view>

#include "entry/address_entry.h"
#include "entry/host_categories.h"
#include "entry/host_text.h"
#include "host/host_error.h"
#include "tests/support/fake_host_object.h"

namespace marupo {
namespace {

// Characters Shift-JIS cannot hold: a surrogate pair (𠮷), an emoji and hangul.
const std::wstring kLossy[] = {L"\U00020BB7田", L"山田\U0001F600", L"\uD55C\uAD6D"};

UniqueBstr Bstr(const std::wstring& text) {
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

std::wstring Wide(const UniqueBstr& text) {
    return BstrText(text);
}

class HostTextTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "tests expect the Japanese code page"; }
};

TEST_F(HostTextTest, HostToEntry) {
    struct Row {
        const wchar_t* host;
        const char* ansi;
    };
    const Row rows[] = {
        {L"", ""},
        {L"Tanaka", "Tanaka"},
        {L"山田太郎", "\x8e\x52\x93\x63\x91\xbe\x98\x59"},
        {L"代表", "\x91\xe3\x95\x5c"},        // trail byte 0x5C kept as it is
        {L"ﾔﾏﾀﾞ", "\xd4\xcf\xc0\xde"},        // half-width kana are single bytes
        {L" 1-2-3\r\n2F ", " 1-2-3\r\n2F "},  // no trimming, line breaks unchanged
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ansi);
        EXPECT_EQ(AnsiFromHost(Bstr(row.host).Get()), row.ansi);
    }
    EXPECT_EQ(AnsiFromHost(nullptr), "");
}

TEST_F(HostTextTest, CharactersOutsideTheCodePageBecomeTheDefaultCharacter) {
    for (const auto& text : kLossy) {
        const std::string ansi = AnsiFromHost(Bstr(text).Get());
        EXPECT_NE(ansi.find('?'), std::string::npos);
        EXPECT_NE(Wide(HostFromAnsi(ansi)), text);  // the plain conversion loses them
    }
    // The rest of the text is converted as usual.
    const std::string yoshida = AnsiFromHost(Bstr(L"\U00020BB7田").Get());
    ASSERT_GE(yoshida.size(), 3u);
    EXPECT_EQ(yoshida.substr(yoshida.size() - 2), "\x93\x63");
}

TEST_F(HostTextTest, EntryToHost) {
    struct Row {
        const char* ansi;
        const wchar_t* host;
    };
    const Row rows[] = {
        {"Tanaka", L"Tanaka"},
        {"\x8e\x52\x93\x63\x91\xbe\x98\x59", L"山田太郎"},
        {"\x91\xe3\x95\x5c", L"代表"},
        {"a\r\nb", L"a\r\nb"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ansi);
        EXPECT_EQ(Wide(HostFromAnsi(row.ansi)), row.host);
    }
}

TEST_F(HostTextTest, EmptyFieldIsAnEmptyNotANullString) {
    const UniqueBstr empty = HostFromAnsi("");
    ASSERT_NE(empty.Get(), nullptr);
    EXPECT_EQ(SysStringLen(empty.Get()), 0u);

    // Null from the host: empty in the entry, written back as an empty string.
    AddressEntry entry;
    ReadHostText(entry, HostTextField::kTitle, nullptr);
    EXPECT_EQ(entry.title, "");
    const UniqueBstr written = HostTextFor(entry, HostTextField::kTitle);
    ASSERT_NE(written.Get(), nullptr);
    EXPECT_EQ(SysStringLen(written.Get()), 0u);
}

TEST_F(HostTextTest, OverlongTextIsOutOfMemory) {
    if constexpr (sizeof(std::size_t) > sizeof(int)) {
        // Never read: the length alone is refused before any conversion.
        const std::string_view huge("x", static_cast<std::size_t>(INT_MAX) + 1);
        try {
            HostFromAnsi(huge);
            ADD_FAILURE() << "no error";
        } catch (const HostError& error) {
            EXPECT_EQ(error.Result(), E_OUTOFMEMORY);
        }
    }
}

TEST_F(HostTextTest, UntouchedFieldsRoundTripWithTheirOriginalCharacters) {
    AddressEntry entry;
    constexpr int kFieldCount = static_cast<int>(HostTextField::kCount);
    for (int i = 0; i < kFieldCount; ++i) {
        const std::wstring host = kLossy[i % 3] + std::to_wstring(i);
        ReadHostText(entry, static_cast<HostTextField>(i), Bstr(host).Get());
    }
    // The editor works on a copy of the entry values and hands them back.
    AddressEntry edited = entry;
    for (int i = 0; i < kFieldCount; ++i) {
        SCOPED_TRACE(i);
        const auto field = static_cast<HostTextField>(i);
        EXPECT_NE(EntryText(edited, field).find('?'), std::string::npos);
        EXPECT_EQ(Wide(HostTextFor(edited, field)), kLossy[i % 3] + std::to_wstring(i));
    }
}

TEST_F(HostTextTest, ChangedFieldIsWrittenAsTheUserLeftIt) {
    AddressEntry entry;
    ReadHostText(entry, HostTextField::kSurname, Bstr(L"\U00020BB7田").Get());
    ReadHostText(entry, HostTextField::kCity, Bstr(L"\uD55C\uAD6D").Get());
    const std::string shown = entry.surname;

    entry.surname = "\x8b\x67\x93\x63";  // the user types 吉田
    EXPECT_EQ(Wide(HostTextFor(entry, HostTextField::kSurname)), L"吉田");
    entry.surname = shown;  // and puts the old text back
    EXPECT_EQ(Wide(HostTextFor(entry, HostTextField::kSurname)), L"\U00020BB7田");

    entry.city = "";  // cleared
    const UniqueBstr cleared = HostTextFor(entry, HostTextField::kCity);
    ASSERT_NE(cleared.Get(), nullptr);
    EXPECT_EQ(SysStringLen(cleared.Get()), 0u);

    // A field that never came from the host is simply converted.
    entry.street = "?";
    EXPECT_EQ(Wide(HostTextFor(entry, HostTextField::kStreet)), L"?");
}

TEST_F(HostTextTest, NewRecordCategoryKeepsTheViewsCharacters) {
    AddressEntry entry;
    ReadHostText(entry, HostTextField::kViewCategory, Bstr(L"\uD55C\uAD6D").Get());
    entry.category = entry.viewCategory;
    entry.hostTextOrigins.CopyOrigin(HostTextField::kViewCategory, HostTextField::kCategory);
    EXPECT_EQ(Wide(HostTextFor(entry, HostTextField::kCategory)), L"\uD55C\uAD6D");
}

// A category list of two names, whose references are counted.
class CountedCategories : public testing::DispatchFake<ICategoryNames> {
  public:
    HRESULT STDMETHODCALLTYPE GetCount(long* count) override {
        *count = 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetItem(long, BSTR* name) override {
        *name = nullptr;
        return testing::UnexpectedCall("ICategoryNames::GetItem");
    }
};

TEST(HostCategoriesTest, EntryHoldsOneReferenceReleasedWithIt) {
    CountedCategories categories;
    {
        AddressEntry entry;
        EXPECT_FALSE(HostCategories(entry));
        SetHostCategories(entry, &categories);
        EXPECT_EQ(categories.refs, 2);
        {
            const AddressEntry copy = entry;  // shares the entry's one reference
            EXPECT_EQ(categories.refs, 2);
            Microsoft::WRL::ComPtr<ICategoryNames> used = HostCategories(copy);
            EXPECT_EQ(used.Get(), &categories);
            EXPECT_EQ(categories.refs, 3);
            long count = 0;
            EXPECT_EQ(used->GetCount(&count), S_OK);
            EXPECT_EQ(count, 2);
        }
        EXPECT_EQ(categories.refs, 2);
    }
    EXPECT_EQ(categories.refs, 1);
}

TEST(HostCategoriesTest, ReplacingOrClearingReleasesTheEarlierList) {
    CountedCategories first;
    CountedCategories second;
    AddressEntry entry;
    SetHostCategories(entry, &first);
    SetHostCategories(entry, &second);
    EXPECT_EQ(first.refs, 1);
    EXPECT_EQ(second.refs, 2);
    SetHostCategories(entry, nullptr);
    EXPECT_EQ(second.refs, 1);
    EXPECT_FALSE(HostCategories(entry));
}

}  // namespace
}  // namespace marupo
