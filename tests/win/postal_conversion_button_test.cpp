// The "〒 変換" button driven as a user drives it: a page with the postal-code, prefecture, city
// and street edits and the button, real postal-code files, the confirmation dialog answered
// through its own controls, and every message box recorded.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "postal/postal_conversion.h"
#include "res/update_dialog.h"
#include "tests/support/modal_driver.h"
#include "tests/win/postal_conversion_fixture.h"
#include "ui/data_exchange.h"
#include "ui/dialog.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

using testing::ModalDriver;
using testing::Pump;
using testing::Sjis;

constexpr int kPostal = 321, kPrefecture = 322, kCity = 323, kStreet = 324, kConvert = 326;
constexpr std::size_t kFieldLimit = 255;

// An in-memory dialog template with the address page's postal controls in its tab order.
class PageTemplate {
  public:
    PageTemplate() {
        Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0);
        Word(5);
        Words({20, 20, 220, 80});
        Word(0);
        Word(0);
        Text(L"Page");
        Word(9);
        Text(L"ＭＳ Ｐゴシック");
        const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        Item(edit, 60, 5, 89, 14, kPostal, 0x0081, L"");
        Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 152, 5, 50, 14, kConvert, 0x0080,
             L"〒 変換");
        Item(edit, 60, 20, 144, 14, kPrefecture, 0x0081, L"");
        Item(edit, 60, 35, 144, 14, kCity, 0x0081, L"");
        Item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                 ES_WANTRETURN,
             60, 50, 144, 20, kStreet, 0x0081, L"");
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Word(std::uint16_t value) { words_.push_back(value); }
    void Words(std::initializer_list<std::uint16_t> values) {
        for (auto v : values) Word(v);
    }
    void Dword(DWORD value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text) Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void Item(DWORD style, std::uint16_t x, std::uint16_t y, std::uint16_t cx, std::uint16_t cy,
              std::uint16_t id, std::uint16_t cls, const std::wstring& text) {
        if (words_.size() % 2 != 0) Word(0);  // DWORD alignment
        Dword(style);
        Dword(0);
        Words({x, y, cx, cy, id, 0xFFFF, cls});
        Text(text);
        Word(0);
    }

    // Words in a vector of 16-bit values; the vector's storage is aligned well enough for the
    // DWORD fields since new[] aligns to at least 8 bytes.
    std::vector<std::uint16_t> words_;
};

// The page as the conversion sees it, exchanging its four fields with 255-byte limits.
class TestPage final : public ui::Dialog, public PostalConversionPage {
  public:
    explicit TestPage(const DLGTEMPLATE* dialogTemplate) : Dialog(dialogTemplate) {
        OnCommand(kConvert, BN_CLICKED, &TestPage::Convert);
    }

    AddressEntry values;
    PostalSettings settings;
    PostalAddress result;
    int refreshes = 0;

    bool TakeControlValues() override { return UpdateData(true); }
    void ShowValues() override {
        ++refreshes;
        UpdateData(false);
    }
    AddressEntry& Values() override { return values; }
    const PostalSettings& Settings() const override { return settings; }
    PostalAddress& LastResult() override { return result; }

  protected:
    void ExchangeData(ui::DataExchange& dx) override {
        dx.Text(kPostal, values.postalCode, kFieldLimit);
        dx.Text(kPrefecture, values.prefecture, kFieldLimit);
        dx.Text(kCity, values.city, kFieldLimit);
        dx.Text(kStreet, values.street, kFieldLimit);
    }

  private:
    void Convert() { ConvertPostalCode(*this); }
};

// What dialog 309 showed, read from its controls.
struct ShownUpdate {
    bool appeared = false;
    std::wstring caption;
    LONG style = 0;
    bool ownedByPage = false;
    bool pageDisabled = false;
    std::wstring postalLine, oldPrefecture, oldCity, oldStreet, newPrefecture, newCity, newStreet;
    bool rewriteChecked = false;
    bool appendChecked = false;
    std::vector<std::wstring> newStreetAfterClicks;
    std::vector<bool> appendCheckedAfterClicks;
};

bool IsChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

constexpr int kEscape = -1;  // ends the dialog with the Esc key instead of a button

class ConversionTest : public ::testing::Test {
  protected:
    // One page for the whole program: taking a top-level window down costs Wine a wait for the X
    // server. It exists before any driver watches and is ignored by the watch, so the driver never
    // takes it for a dialog to answer.
    static TestPage& SharedPage() {
        static PageTemplate pageTemplate;
        static TestPage page(pageTemplate.Get());
        if (page.Handle() == nullptr && page.Create(nullptr)) {
            ModalDriver::Ignore(page.Handle());
            ShowWindow(page.Handle(), SW_SHOW);
        }
        return page;
    }

    void SetUp() override {
        ui::SetAddinModule(GetModuleHandleW(nullptr));
        ASSERT_NE(page_.Handle(), nullptr);
        page_.values = {};
        page_.result = {};
        page_.settings = files_.Settings();
        page_.ShowValues();
        SetForegroundWindow(page_.Handle());
        SetActiveWindow(page_.Handle());
        Pump();
        driver_.emplace();
    }
    void TearDown() override {
        EXPECT_EQ(driver_->UnhandledDialogs(), 0);
        driver_.reset();
        Pump();
    }

    // Types into the four edits as the user would.
    void Type(const std::wstring& postal, const std::wstring& prefecture, const std::wstring& city,
              const std::wstring& street) {
        ModalDriver::SetControlText(page_.Handle(), kPostal, postal);
        ModalDriver::SetControlText(page_.Handle(), kPrefecture, prefecture);
        ModalDriver::SetControlText(page_.Handle(), kCity, city);
        ModalDriver::SetControlText(page_.Handle(), kStreet, street);
    }

    void Press() {
        HWND button = page_.Item(kConvert);
        SetFocus(button);
        SendMessageW(button, BM_CLICK, 0, 0);
        Pump();
    }

    // Answers the next dialog 309: the clicks on 327/328 in order, then OK, Cancel or Esc.
    void AnswerUpdate(std::vector<int> clicks, int end) {
        driver_->OnNextDialog([this, clicks, end](HWND dialog) {
            ShownUpdate& s = shown_;
            s.appeared = true;
            s.caption = ModalDriver::Text(dialog);
            s.style = GetWindowLongW(dialog, GWL_STYLE);
            s.ownedByPage = GetWindow(dialog, GW_OWNER) == page_.Handle();
            s.pageDisabled = !IsWindowEnabled(page_.Handle());
            s.postalLine = ModalDriver::ControlText(dialog, IDC_UPDATE_POSTAL_LINE);
            s.oldPrefecture = ModalDriver::ControlText(dialog, IDC_UPDATE_OLD_PREFECTURE);
            s.oldCity = ModalDriver::ControlText(dialog, IDC_UPDATE_OLD_CITY);
            s.oldStreet = ModalDriver::ControlText(dialog, IDC_UPDATE_OLD_STREET);
            s.newPrefecture = ModalDriver::ControlText(dialog, IDC_UPDATE_NEW_PREFECTURE);
            s.newCity = ModalDriver::ControlText(dialog, IDC_UPDATE_NEW_CITY);
            s.newStreet = ModalDriver::ControlText(dialog, IDC_UPDATE_NEW_STREET);
            s.rewriteChecked = IsChecked(dialog, IDC_UPDATE_REWRITE_ALL);
            s.appendChecked = IsChecked(dialog, IDC_UPDATE_APPEND_STREET);
            for (int id : clicks) {
                ModalDriver::Click(dialog, id);
                s.newStreetAfterClicks.push_back(
                    ModalDriver::ControlText(dialog, IDC_UPDATE_NEW_STREET));
                s.appendCheckedAfterClicks.push_back(IsChecked(dialog, IDC_UPDATE_APPEND_STREET));
            }
            if (end == kEscape) {
                HWND focus = GetFocus();
                PostMessageW(focus != nullptr ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageW(focus != nullptr ? focus : dialog, WM_KEYUP, VK_ESCAPE, 0);
            } else {
                ModalDriver::Click(dialog, end);
            }
        });
    }

    std::wstring Field(int id) const { return ModalDriver::ControlText(page_.Handle(), id); }
    // Wine without a window manager sometimes gives the activation that follows a closed message
    // box to the desktop. Activated again, as by the user's click, the page shows where its
    // focus was left.
    bool FocusOnButton() const {
        if (GetActiveWindow() == nullptr) {
            SetForegroundWindow(page_.Handle());
            SetActiveWindow(page_.Handle());
            Pump();
        }
        return GetFocus() == page_.Item(kConvert);
    }

    void ExpectFields(const std::wstring& postal, const std::wstring& prefecture,
                      const std::wstring& city, const std::wstring& street,
                      const std::string& context) const {
        EXPECT_EQ(Field(kPostal), postal) << context;
        EXPECT_EQ(Field(kPrefecture), prefecture) << context;
        EXPECT_EQ(Field(kCity), city) << context;
        EXPECT_EQ(Field(kStreet), street) << context;
    }

    void ExpectOnlyMessages(const std::vector<std::wstring>& texts, const std::string& context) {
        EXPECT_EQ(driver_->MessageTexts(), texts) << context;
        for (const auto& box : driver_->MessageBoxes()) {
            EXPECT_EQ(box.caption, L"win_postal_conversion_button_test") << context;
            EXPECT_TRUE(box.exclamationIcon) << context;
            EXPECT_TRUE(box.onlyOkButton) << context;
            EXPECT_EQ(box.owner, page_.Handle()) << context;
        }
    }

    testing::PostalFixtureFiles files_;
    std::optional<ModalDriver> driver_;
    TestPage& page_ = SharedPage();
    ShownUpdate shown_;
};

const std::wstring kInvalid = L"郵便番号が不正です";
const std::wstring kNotFound = L"郵便番号が見つかりませんでした。";

TEST_F(ConversionTest, EmptyAddressIsFilledAtOnceForEveryValidForm) {
    // As typed with the input method on, too: full-width digits, hyphens and blanks, 〒 marks.
    const wchar_t* forms[] = {
        L"0600042",  L"060-0042",       L"060 0042", L"06-00042",           L"0600042 ",
        L"-0600042", L"０６０００４２", L"060‐0042", L"〒０６０－００４２", L"　〒 060ー0042"};
    for (const wchar_t* typed : forms) {
        const std::string context = Sjis(typed);
        Type(typed, L"", L"", L"");
        Press();
        ExpectFields(typed, L"北海道", L"札幌市中央区", L"大通西", context);
        ExpectOnlyMessages({}, context);
        EXPECT_FALSE(shown_.appeared) << context;
        EXPECT_TRUE(FocusOnButton()) << context;
    }
    EXPECT_EQ(page_.result.prefecture, Sjis(L"北海道"));
    EXPECT_EQ(page_.result.street, Sjis(L"大通西"));
}

TEST_F(ConversionTest, InvalidCodeShowsOneMessageAndChangesNothing) {
    const wchar_t* forms[] = {
        L"",          L"060004",  L"06000423", L"060-00423", L"0600-0042", L"０６０００４２３",
        L"060‐‐0042", L"06a0042", L"060 004",  L"060〒0042",
    };
    for (const wchar_t* typed : forms) {
        const std::string context = Sjis(typed);
        driver_->Clear();
        Type(typed, L"東京都", L"", L"1-2-3");
        const int refreshes = page_.refreshes;
        Press();
        ExpectOnlyMessages({kInvalid}, context);
        ExpectFields(typed, L"東京都", L"", L"1-2-3", context);
        EXPECT_FALSE(shown_.appeared) << context;
        EXPECT_EQ(page_.refreshes, refreshes) << context;
        EXPECT_TRUE(FocusOnButton()) << context;
    }
}

TEST_F(ConversionTest, FailedSearchesEndInTheNotFoundMessage) {
    struct Case {
        const char* name;
        std::string nationwide;
        std::string business;
        const wchar_t* typed;
        std::vector<std::wstring> messages;
    };
    const std::string missing = files_.Path(L"MISSING.CSV");
    const Case cases[] = {
        {"code in neither file",
         files_.Path(L"KEN_ALL.CSV"),
         files_.Path(L"JIGYOSYO.CSV"),
         L"999-9999",
         {kNotFound}},
        {"nationwide file missing",
         missing,
         files_.Path(L"JIGYOSYO.CSV"),
         L"0600042",
         {L"CSVファイル1のオープンに失敗しました", kNotFound}},
        {"nationwide path empty",
         "",
         files_.Path(L"JIGYOSYO.CSV"),
         L"0600042",
         {L"CSVファイル1のオープンに失敗しました", kNotFound}},
        {"business file missing",
         files_.Path(L"KEN_ALL.CSV"),
         missing,
         L"1008798",
         {L"CSVファイル2のオープンに失敗しました", kNotFound}},
        {"business path empty",
         files_.Path(L"KEN_ALL.CSV"),
         "",
         L"1008798",
         {L"CSVファイル2のオープンに失敗しました", kNotFound}},
    };
    for (const auto& c : cases) {
        driver_->Clear();
        page_.settings.nationwideFile = c.nationwide;
        page_.settings.businessFile = c.business;
        Type(c.typed, L"", L"市", L"");
        Press();
        ExpectOnlyMessages(c.messages, c.name);
        ExpectFields(c.typed, L"", L"市", L"", c.name);
        EXPECT_FALSE(shown_.appeared) << c.name;
        EXPECT_TRUE(FocusOnButton()) << c.name;
    }
}

TEST_F(ConversionTest, BusinessOfficeHitJoinsAreaAndBlock) {
    Type(L"1008798", L"", L"", L"");
    Press();
    ExpectFields(L"1008798", L"東京都", L"千代田区", L"大手町２丁目３－１", "business hit");
    ExpectOnlyMessages({}, "business hit");
}

struct DialogCase {
    const char* name;
    std::vector<int> clicks;
    int end;
    std::vector<std::wstring> newStreetAfterClicks;
    bool applied;
    std::wstring street;  // when applied
};

TEST_F(ConversionTest, ConfirmationAppliesTheChosenWayOrNothing) {
    const int rewrite = IDC_UPDATE_REWRITE_ALL, append = IDC_UPDATE_APPEND_STREET;
    const DialogCase cases[] = {
        {"OK at once rewrites all", {}, IDOK, {}, true, L"大通西"},
        {"append old street", {append}, IDOK, {L"大通西;1-2-3"}, true, L"大通西;1-2-3"},
        {"append, then back to rewrite",
         {append, rewrite},
         IDOK,
         {L"大通西;1-2-3", L"大通西"},
         true,
         L"大通西"},
        {"rewrite clicked again", {rewrite}, IDOK, {L"大通西"}, true, L"大通西"},
        {"Cancel", {}, IDCANCEL, {}, false, L""},
        {"Cancel after choosing append", {append}, IDCANCEL, {L"大通西;1-2-3"}, false, L""},
        {"Esc", {append}, kEscape, {L"大通西;1-2-3"}, false, L""},
    };
    for (const auto& c : cases) {
        driver_->Clear();
        shown_ = {};
        Type(L"〒060-0042", L"東京都", L"千代田区", L"1-2-3");
        const int refreshes = page_.refreshes;
        AnswerUpdate(c.clicks, c.end);
        Press();
        ASSERT_TRUE(shown_.appeared) << c.name;
        // The code, not the text as typed ("〒 〒060-0042").
        EXPECT_EQ(shown_.postalLine, L"〒 060-0042") << c.name;
        EXPECT_EQ(shown_.oldPrefecture, L"東京都") << c.name;
        EXPECT_EQ(shown_.oldCity, L"千代田区") << c.name;
        EXPECT_EQ(shown_.oldStreet, L"1-2-3") << c.name;
        EXPECT_EQ(shown_.newPrefecture, L"北海道") << c.name;
        EXPECT_EQ(shown_.newCity, L"札幌市中央区") << c.name;
        EXPECT_EQ(shown_.newStreet, L"大通西") << c.name;
        EXPECT_TRUE(shown_.rewriteChecked) << c.name;
        EXPECT_FALSE(shown_.appendChecked) << c.name;
        EXPECT_EQ(shown_.newStreetAfterClicks, c.newStreetAfterClicks) << c.name;
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            EXPECT_EQ(shown_.appendCheckedAfterClicks[i], c.clicks[i] == append) << c.name;
        }
        if (c.applied) {
            ExpectFields(L"〒060-0042", L"北海道", L"札幌市中央区", c.street, c.name);
        } else {
            ExpectFields(L"〒060-0042", L"東京都", L"千代田区", L"1-2-3", c.name);
        }
        EXPECT_EQ(page_.refreshes, refreshes + 1) << c.name;  // OK and Cancel alike
        ExpectOnlyMessages({}, c.name);
        EXPECT_TRUE(FocusOnButton()) << c.name;
    }
}

TEST_F(ConversionTest, ConfirmationIsAModalDialogOverThePageWithoutSystemMenu) {
    Type(L"0600042", L"", L"", L"1-2-3");
    AnswerUpdate({}, IDCANCEL);
    Press();
    ASSERT_TRUE(shown_.appeared);
    EXPECT_EQ(shown_.caption, L"住所更新確認");
    EXPECT_EQ(shown_.style & WS_SYSMENU, 0);
    EXPECT_NE(shown_.style & WS_CAPTION, 0);
    EXPECT_TRUE(shown_.ownedByPage);
    EXPECT_TRUE(shown_.pageDisabled);
    EXPECT_TRUE(IsWindowEnabled(page_.Handle()));
}

TEST_F(ConversionTest, AnyTextInTheAddressFieldsLeadsToTheConfirmation) {
    struct Case {
        const char* name;
        const wchar_t* prefecture;
        const wchar_t* city;
        const wchar_t* street;
    };
    const Case cases[] = {
        {"only street", L"", L"", L"1-2-3"},
        {"only city", L"", L"市", L""},
        {"only a blank prefecture", L" ", L"", L""},
        {"only a line break in the street", L"", L"", L"\r\n"},
    };
    for (const auto& c : cases) {
        shown_ = {};
        Type(L"0600042", c.prefecture, c.city, c.street);
        AnswerUpdate({IDC_UPDATE_APPEND_STREET}, IDOK);
        Press();
        EXPECT_TRUE(shown_.appeared) << c.name;
        EXPECT_EQ(shown_.oldStreet, c.street) << c.name;
        ExpectFields(L"0600042", L"北海道", L"札幌市中央区", std::wstring(L"大通西;") + c.street,
                     c.name);
    }
}

TEST_F(ConversionTest, AppendedStreetOverTheLimitIsPlacedWhole) {
    const std::wstring oldStreet(250, L'x');
    Type(L"0600042", L"p", L"c", oldStreet);
    AnswerUpdate({IDC_UPDATE_APPEND_STREET}, IDOK);
    Press();
    EXPECT_EQ(Field(kStreet), L"大通西;" + oldStreet);
    EXPECT_EQ(ui::WindowTextAnsi(page_.Item(kStreet)).size(), 6u + 1u + 250u);
}

TEST_F(ConversionTest, DesignatedCityWardGoesInFrontOfTheStreet) {
    page_.settings = files_.Settings(1);
    Type(L"064-0820", L"", L"", L"");
    Press();
    // The placeholder town area is dropped before the ward moves to the street.
    ExpectFields(L"064-0820", L"北海道", L"札幌市", L"中央区", "placeholder");

    Type(L"0600042", L"北海道", L"札幌市", L"1-2-3");
    AnswerUpdate({IDC_UPDATE_APPEND_STREET}, IDOK);
    Press();
    ASSERT_TRUE(shown_.appeared);
    EXPECT_EQ(shown_.newCity, L"札幌市");
    EXPECT_EQ(shown_.newStreet, L"中央区大通西");
    ExpectFields(L"0600042", L"北海道", L"札幌市", L"中央区大通西;1-2-3", "ward");
}

TEST_F(ConversionTest, RefusedTransferStopsWithoutWritingOlderValuesBack) {
    // A prefecture from the host longer than the field takes is shown whole.
    page_.values.prefecture = std::string(300, 'P');
    page_.values.city = Sjis(L"旧市");
    page_.values.street = "old street";
    page_.ShowValues();
    ModalDriver::SetControlText(page_.Handle(), kPostal, L"0600042");
    ModalDriver::SetControlText(page_.Handle(), kCity, L"新市");
    ModalDriver::SetControlText(page_.Handle(), kStreet, L"新しい番地");
    const int refreshes = page_.refreshes;
    Press();
    ExpectOnlyMessages({ui::LengthMessage(kFieldLimit)}, "refused");
    EXPECT_FALSE(shown_.appeared);
    EXPECT_EQ(page_.refreshes, refreshes);
    // What the user typed is still there; nothing was looked up.
    EXPECT_EQ(Field(kCity), L"新市");
    EXPECT_EQ(Field(kStreet), L"新しい番地");
    EXPECT_EQ(ui::WindowTextAnsi(page_.Item(kPrefecture)), std::string(300, 'P'));
    EXPECT_TRUE(page_.result.prefecture.empty());
    // The length message puts the focus on the refused field.
    EXPECT_EQ(GetFocus(), page_.Item(kPrefecture));
}

}  // namespace
}  // namespace marupo
