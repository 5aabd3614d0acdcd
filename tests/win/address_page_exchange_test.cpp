// The address page's exchange with its controls: which field goes where, the 255-byte limits
// (127 double-byte characters fit, a 128th does not), the refusal of an over-long field, and
// that a refused pass never throws away what the user typed.

#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>

#include <functional>

#include "res/address_page.h"
#include "tests/support/modal_driver.h"
#include "tests/win/address_page_test_frame.h"

namespace marupo {
namespace {

using testing::PageFrame;
using testing::Sjis;

const std::wstring kLengthMessage = L"255 文字以内で入力してください。";

struct FieldRow {
    int id;
    std::function<std::string&(AddressEntry&)> field;
    bool limited;
};

// In the page's transfer order.
std::vector<FieldRow> FieldRows() {
    return {
        {IDC_ADDR_GIVEN_NAME, [](AddressEntry& e) -> std::string& { return e.givenName; }, false},
        {IDC_ADDR_GIVEN_NAME_READING,
         [](AddressEntry& e) -> std::string& { return e.givenNameReading; }, true},
        {IDC_ADDR_SURNAME_READING, [](AddressEntry& e) -> std::string& { return e.surnameReading; },
         true},
        {IDC_ADDR_SURNAME, [](AddressEntry& e) -> std::string& { return e.surname; }, true},
        {IDC_ADDR_TITLE, [](AddressEntry& e) -> std::string& { return e.title; }, true},
        {IDC_ADDR_COMPANY, [](AddressEntry& e) -> std::string& { return e.company; }, true},
        {IDC_ADDR_POSTAL_CODE, [](AddressEntry& e) -> std::string& { return e.postalCode; }, true},
        {IDC_ADDR_PREFECTURE, [](AddressEntry& e) -> std::string& { return e.prefecture; }, true},
        {IDC_ADDR_CITY, [](AddressEntry& e) -> std::string& { return e.city; }, true},
        {IDC_ADDR_STREET, [](AddressEntry& e) -> std::string& { return e.street; }, true},
        {IDC_ADDR_COUNTRY, [](AddressEntry& e) -> std::string& { return e.country; }, true},
        {IDC_ADDR_COMPANY_READING, [](AddressEntry& e) -> std::string& { return e.companyReading; },
         true},
        {337, [](AddressEntry& e) -> std::string& { return e.contactSlots[0].text; }, true},
        {338, [](AddressEntry& e) -> std::string& { return e.contactSlots[1].text; }, true},
        {339, [](AddressEntry& e) -> std::string& { return e.contactSlots[2].text; }, true},
        {340, [](AddressEntry& e) -> std::string& { return e.contactSlots[3].text; }, true},
        {341, [](AddressEntry& e) -> std::string& { return e.contactSlots[4].text; }, true},
        {342, [](AddressEntry& e) -> std::string& { return e.customFields[0]; }, true},
        {343, [](AddressEntry& e) -> std::string& { return e.customFields[1]; }, true},
        {345, [](AddressEntry& e) -> std::string& { return e.customFields[2]; }, true},
        {346, [](AddressEntry& e) -> std::string& { return e.customFields[3]; }, true},
    };
}

std::wstring Repeat(wchar_t c, std::size_t count) {
    return std::wstring(count, c);
}

class AddressPageExchangeTest : public ::testing::Test {
  protected:
    void Open() { ASSERT_TRUE(frame_.Open()); }
    bool FromControls() { return frame_.page.UpdateData(true); }

    PageFrame frame_;
    testing::ModalDriver driver_;
};

TEST_F(AddressPageExchangeTest, EveryFieldGoesToItsOwnControlAndBack) {
    auto rows = FieldRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].field(frame_.page.entry) = Sjis(L"値" + std::to_wstring(i));
    frame_.page.entry.primarySlot = 2;
    Open();
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(frame_.Text(rows[i].id), L"値" + std::to_wstring(i)) << rows[i].id;
    EXPECT_TRUE(frame_.Checked(IDC_ADDR_PRIMARY_RADIO2));

    for (std::size_t i = 0; i < rows.size(); ++i)
        frame_.SetText(rows[i].id, L"新" + std::to_wstring(i));
    frame_.Click(IDC_ADDR_PRIMARY_RADIO4);
    ASSERT_TRUE(FromControls());
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].field(frame_.page.entry), Sjis(L"新" + std::to_wstring(i))) << rows[i].id;
    EXPECT_EQ(frame_.page.entry.primarySlot, 4);
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(AddressPageExchangeTest, StreetKeepsItsLineBreaks) {
    frame_.page.entry.street = Sjis(L"大通西1丁目\r\n札幌ビル3F");
    Open();
    EXPECT_EQ(frame_.Text(IDC_ADDR_STREET), L"大通西1丁目\r\n札幌ビル3F");
    ASSERT_TRUE(FromControls());
    EXPECT_EQ(frame_.page.entry.street, Sjis(L"大通西1丁目\r\n札幌ビル3F"));
}

TEST_F(AddressPageExchangeTest, LimitedEditsTakeAtMost255TypedBytes) {
    Open();
    for (const auto& row : FieldRows()) {
        auto limit = SendMessageW(frame_.Item(row.id), EM_GETLIMITTEXT, 0, 0);
        if (row.limited)
            EXPECT_EQ(limit, 255) << row.id;
        else
            EXPECT_GT(limit, 255) << row.id;  // the given name keeps the edit's own limit
    }
}

TEST_F(AddressPageExchangeTest, Fields127DoubleByteCharactersLongAreTaken) {
    Open();
    const std::wstring fits = Repeat(L'あ', 127);                // 254 bytes
    const std::wstring fitsExactly = Repeat(L'あ', 127) + L"x";  // 255 bytes
    for (const auto& row : FieldRows()) {
        frame_.SetText(row.id, row.id % 2 == 0 ? fits : fitsExactly);
    }
    ASSERT_TRUE(FromControls());
    for (const auto& row : FieldRows()) {
        EXPECT_EQ(row.field(frame_.page.entry).size(), row.id % 2 == 0 ? 254u : 255u) << row.id;
    }
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(AddressPageExchangeTest, A128thDoubleByteCharacterIsRefusedAndLaterFieldsKeepTheirValues) {
    const auto rows = FieldRows();
    for (std::size_t refused = 0; refused < rows.size(); ++refused) {
        if (!rows[refused].limited) continue;
        SCOPED_TRACE(::testing::Message() << "field " << rows[refused].id);
        PageFrame frame;
        testing::ModalDriver driver;
        for (const auto& row : rows) row.field(frame.page.entry) = "old";
        ASSERT_TRUE(frame.Open());
        for (const auto& row : rows) frame.SetText(row.id, L"new");
        frame.SetText(rows[refused].id, Repeat(L'あ', 128));  // 256 bytes

        EXPECT_FALSE(frame.page.UpdateData(true));
        ASSERT_EQ(driver.MessageTexts(), std::vector<std::wstring>{kLengthMessage});
        EXPECT_EQ(GetFocus(), frame.Item(rows[refused].id));
        DWORD start = 0, end = 0;
        SendMessageW(frame.Item(rows[refused].id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 128u);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].field(frame.page.entry), i < refused ? "new" : "old") << rows[i].id;
    }
}

TEST_F(AddressPageExchangeTest, GivenNameHasNoLimitOfItsOwn) {
    Open();
    frame_.SetText(IDC_ADDR_GIVEN_NAME, Repeat(L'名', 300));
    ASSERT_TRUE(FromControls());
    EXPECT_EQ(frame_.page.entry.givenName.size(), 600u);
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

// A value from the host longer than its field's limit is shown whole and the page opens quietly.
TEST_F(AddressPageExchangeTest, OverLongValueFromTheHostIsShownWholeWithoutAMessage) {
    frame_.page.entry.country = std::string(300, 'X');
    frame_.page.entry.primarySlot = 1;
    Open();
    EXPECT_EQ(frame_.Text(IDC_ADDR_COUNTRY), Repeat(L'X', 300));
    EXPECT_EQ(frame_.Text(IDC_ADDR_PRIMARY_LINE), L"「自宅」 は通常使用する連絡先です。");
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

// With the country over its limit every pass from the controls is refused at the country. The
// page's own handlers must then leave what the user typed into the later fields alone.
class RefusedPassTest : public AddressPageExchangeTest {
  protected:
    void SetUp() override {
        frame_.page.entry.country = std::string(300, 'X');
        frame_.page.entry.companyReading = Sjis(L"まえ");
        frame_.page.entry.customFields[0] = Sjis(L"前の値");
        frame_.page.entry.primarySlot = 0;
        Open();
        // Typed by the user after the page opened; all of them come after the country.
        frame_.SetText(IDC_ADDR_COMPANY_READING, L"かぶしきがいしゃ");
        frame_.SetText(IDC_ADDR_CONTACT_TEXT2, L"03-1234-5678");
        frame_.SetText(IDC_ADDR_CUSTOM_FIELD0, L"入力中の値");
    }
    void ExpectTypedTextsKept() {
        EXPECT_EQ(frame_.Text(IDC_ADDR_COMPANY_READING), L"かぶしきがいしゃ");
        EXPECT_EQ(frame_.Text(IDC_ADDR_CONTACT_TEXT2), L"03-1234-5678");
        EXPECT_EQ(frame_.Text(IDC_ADDR_CUSTOM_FIELD0), L"入力中の値");
        EXPECT_EQ(frame_.Text(IDC_ADDR_COUNTRY), Repeat(L'X', 300));
    }
};

TEST_F(RefusedPassTest, ReadingCaptureStopsAfterTheRefusal) {
    frame_.readings.Feed(Sjis(L"ﾔﾏﾀﾞ"));
    SendMessageW(frame_.Item(IDC_ADDR_SURNAME), WM_IME_COMPOSITION, 0,
                 GCS_RESULTREADSTR | GCS_RESULTSTR);
    testing::PumpMessages();
    EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{kLengthMessage});
    ExpectTypedTextsKept();
    EXPECT_EQ(frame_.Text(IDC_ADDR_SURNAME_READING), L"");
}

TEST_F(RefusedPassTest, RadioClickStopsAfterTheRefusalButTheLineFollowsTheRadio) {
    frame_.Click(IDC_ADDR_PRIMARY_RADIO3);
    EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{kLengthMessage});
    ExpectTypedTextsKept();
    EXPECT_TRUE(frame_.Checked(IDC_ADDR_PRIMARY_RADIO3));
    EXPECT_EQ(frame_.Text(IDC_ADDR_PRIMARY_LINE), L"「その他」 は通常使用する連絡先です。");
}

TEST_F(RefusedPassTest, LabelChangeStopsAfterTheRefusalButRenamesTheSlot) {
    // The menu of slot 0 is answered at once: 携帯 comes from the menu as a posted command.
    SendMessageW(frame_.page.Handle(), WM_COMMAND, MAKEWPARAM(32775, 0), 0);
    EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{kLengthMessage});
    ExpectTypedTextsKept();
    EXPECT_EQ(frame_.Text(IDC_ADDR_PRIMARY_RADIO0), L"携帯:");
    EXPECT_EQ(frame_.Text(IDC_ADDR_PRIMARY_LINE), L"「携帯」 は通常使用する連絡先です。");
}

}  // namespace
}  // namespace marupo
