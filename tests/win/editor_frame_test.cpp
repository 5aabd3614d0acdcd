// The editor frame driven through its real windows: the category list, the private box, the
// name check and the refused transfer at OK, the tabs, the settings dialog that opens by itself,
// and the system menu.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/address_editor_dialog.h"
#include "host/host_error.h"
#include "res/about_dialog.h"
#include "res/address_page.h"
#include "res/settings_dialog.h"
#include "tests/support/modal_driver.h"
#include "tests/win/editor_test_support.h"

namespace marupo {
namespace {

using testing::ModalDriver;
using testing::Sjis;

class EditorFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::SetAddinModule(GetModuleHandleW(nullptr));
        registry_.SetPaths("C:\\KEN_ALL.CSV", "C:\\JIGYOSYO.CSV");
        entry_.surname = Sjis(L"山田");
        testing::GiveHostCategories(entry_, {L"未分類", L"仕事"});
    }

    // Runs the editor; `drive` gets the frame once it is up and must end it.
    INT_PTR Run(std::function<void(HWND)> drive) {
        driver_.OnNextDialog(std::move(drive));
        editor::AddressEditorDialog editor(entry_);
        INT_PTR result = editor.Run();
        ui::PumpUntilQuiet();
        EXPECT_EQ(driver_.UnhandledDialogs(), 0);
        return result;
    }

    testing::SettingsInRegistry registry_;
    AddressEntry entry_;
    ModalDriver driver_;
};

struct CategoryCase {
    const char* name;
    std::vector<std::wstring> host;
    std::wstring entryCategory;
    std::vector<std::wstring> items;
    int selected;  // -1: none
    std::wstring stored;
};

TEST_F(EditorFrameTest, CategoryListOrderPreselectionAndStoredCategory) {
    std::vector<std::wstring> many{L"未分類"};
    for (wchar_t c = L'T'; c >= L'A'; --c) many.push_back(std::wstring(1, c));
    std::vector<std::wstring> manySorted;
    for (wchar_t c = L'A'; c <= L'T'; ++c) manySorted.push_back(std::wstring(1, c));
    manySorted.push_back(L"未分類");

    const CategoryCase cases[] = {
        {"code page order, unfiled last",
         {L"未分類", L"趣味", L"仕事", L"家族"},
         L"仕事",
         {L"家族", L"仕事", L"趣味", L"未分類"},
         1,
         L"仕事"},
        {"ASCII, then half-width kana, then kanji",
         {L"未分類", L"家族", L"ｶﾅ", L"Zoo"},
         L"未分類",
         {L"Zoo", L"ｶﾅ", L"家族", L"未分類"},
         3,
         L"未分類"},
        {"case-blind prefix, first from the top",
         {L"未分類", L"business", L"Bus"},
         L"bus",
         {L"Bus", L"business", L"未分類"},
         0,
         L"Bus"},
        {"no match: no selection, stored empty",
         {L"未分類", L"仕事"},
         L"友人",
         {L"仕事", L"未分類"},
         -1,
         L""},
        {"more than sixteen, all listed", many, L"S", manySorted, 18, L"S"},
        {"no categories: one empty item", {}, L"", {L""}, 0, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::GiveHostCategories(entry_, c.host);
        entry_.category = Sjis(c.entryCategory);
        std::vector<std::wstring> items;
        LRESULT selected = -2;
        EXPECT_EQ(Run([&](HWND frame) {
                      HWND combo = GetDlgItem(frame, IDC_EDITOR_CATEGORY);
                      items = devhost::ModalWatch::ListItems(combo);
                      selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
                      ModalDriver::Click(frame, IDOK);
                  }),
                  IDOK);
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(entry_.category, Sjis(c.stored));
    }
}

TEST_F(EditorFrameTest, HostFailureWhileReadingCategoriesEndsTheRunWithTheHostsError) {
    for (const bool noList : {true, false}) {
        SCOPED_TRACE(noList ? "no list" : "second name fails");
        auto state = testing::GiveHostCategories(entry_, {L"未分類", L"仕事"});
        if (noList) SetHostCategories(entry_, nullptr);
        state->faults.FailNth(2, "GetItem", E_ACCESSDENIED, u"一覧を読めません");
        HRESULT raised = S_OK;
        try {
            editor::AddressEditorDialog editor(entry_);
            editor.Run();
        } catch (const marupo::HostError& error) {
            raised = error.Result();
        }
        ui::PumpUntilQuiet();
        EXPECT_EQ(raised, noList ? E_POINTER : E_ACCESSDENIED);
        EXPECT_EQ(FindWindowExW(nullptr, nullptr, L"#32770", L"Marupo 新規アドレス"), nullptr);
    }
}

// The title comes with the commands' runs; here the private box is cleared, as no run does.
TEST_F(EditorFrameTest, OpensOnTheAddressPageAndTabsSwitchPagesKeepingTheNotesLines) {
    entry_.note = "first\r\nsecond";
    entry_.isPrivate = true;
    bool privateShown = false;
    std::wstring shownNote;
    std::vector<std::pair<bool, bool>> visible;  // address, note after each click
    bool surnameFocused = false;
    Run([&](HWND frame) {
        HWND address = testing::AddressPageOf(frame);
        HWND note = testing::NotePageOf(frame);
        surnameFocused = GetFocus() == GetDlgItem(address, IDC_ADDR_SURNAME);
        visible.emplace_back(IsWindowVisible(address) != FALSE, IsWindowVisible(note) != FALSE);
        for (int tab : {1, 0, 1}) {
            testing::ClickTab(frame, tab);
            visible.emplace_back(IsWindowVisible(address) != FALSE, IsWindowVisible(note) != FALSE);
        }
        shownNote = ModalDriver::ControlText(note, IDC_NOTE_TEXT);
        ModalDriver::SetControlText(note, IDC_NOTE_TEXT, L"一行目\r\n二行目\r\n");
        privateShown = IsDlgButtonChecked(frame, IDC_EDITOR_PRIVATE) == BST_CHECKED;
        ModalDriver::Click(frame, IDC_EDITOR_PRIVATE);
        ModalDriver::Click(frame, IDOK);
    });
    const std::vector<std::pair<bool, bool>> expected{
        {true, false}, {false, true}, {true, false}, {false, true}};
    EXPECT_EQ(visible, expected);
    EXPECT_TRUE(surnameFocused);
    EXPECT_EQ(shownNote, L"first\r\nsecond");
    EXPECT_EQ(entry_.note, Sjis(L"一行目\r\n二行目\r\n"));
    EXPECT_TRUE(privateShown);
    EXPECT_FALSE(entry_.isPrivate);
}

TEST_F(EditorFrameTest, OkNeedsOneOfTheNamesOnEitherPage) {
    struct Case {
        const wchar_t* surname;
        const wchar_t* givenName;
        int tab;
        bool refused;
    } const cases[] = {
        {L"山田", L"", 0, false}, {L"", L"花子", 1, false}, {L"", L"", 0, true},
        {L"", L"", 1, true},      {L" ", L"", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        driver_.Clear();
        bool stillOpen = false;
        bool stayedOnTab = false;
        HWND frameWindow = nullptr;
        const INT_PTR result = Run([&](HWND frame) {
            frameWindow = frame;
            HWND address = testing::AddressPageOf(frame);
            ModalDriver::SetControlText(address, IDC_ADDR_SURNAME, c.surname);
            ModalDriver::SetControlText(address, IDC_ADDR_GIVEN_NAME, c.givenName);
            testing::ClickTab(frame, c.tab);
            ModalDriver::Click(frame, IDOK);
            ui::PumpUntilQuiet();
            stillOpen = IsWindow(frame) && IsWindowVisible(frame);
            stayedOnTab = SendDlgItemMessageW(frame, IDC_EDITOR_TABS, TCM_GETCURSEL, 0, 0) == c.tab;
            if (stillOpen) ModalDriver::Click(frame, IDCANCEL);
        });
        EXPECT_EQ(result, c.refused ? IDCANCEL : IDOK);
        EXPECT_EQ(driver_.MessageTexts(),
                  c.refused ? std::vector<std::wstring>{L"姓名のどちらかの入力は必須です。"}
                            : std::vector<std::wstring>{});
        if (c.refused) {
            EXPECT_TRUE(stayedOnTab);
            EXPECT_EQ(driver_.MessageBoxes()[0].owner, frameWindow);
        }
    }
}

TEST_F(EditorFrameTest, RefusedFieldKeepsTheEditorOpen) {
    struct Case {
        int id;
        std::size_t bytes;
        const wchar_t* message;
    } const cases[] = {{IDC_ADDR_TITLE, 256, L"255 文字以内で入力してください。"},
                       {IDC_NOTE_TEXT, 4096, L"4095 文字以内で入力してください。"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        driver_.Clear();
        const std::wstring tooLong(c.bytes, L'x');
        bool stillOpen = false;
        const INT_PTR result = Run([&](HWND frame) {
            HWND page =
                c.id == IDC_NOTE_TEXT ? testing::NotePageOf(frame) : testing::AddressPageOf(frame);
            ModalDriver::SetControlText(page, c.id, tooLong);
            ModalDriver::Click(frame, IDOK);
            ui::PumpUntilQuiet();
            stillOpen = IsWindowVisible(frame) != FALSE;
            ModalDriver::Click(frame, IDCANCEL);
        });
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(driver_.MessageTexts(), std::vector<std::wstring>{c.message});
    }
}

TEST_F(EditorFrameTest, MissingPathOpensTheSettingsBeforeThePages) {
    struct Case {
        const char* nationwide;
        const char* business;
        bool confirm;
    } const cases[] = {{"", "", false}, {"C:\\KEN_ALL.CSV", "", false}, {"", "", true}};
    for (const auto& c : cases) {
        testing::SettingsInRegistry fresh;
        if (*c.nationwide != '\0') fresh.SetPaths(c.nationwide, c.business);
        bool pagesBefore = true;
        bool editorOpened = false;
        driver_.OnNextDialog([&](HWND settings) {
            HWND frame = FindWindowExW(nullptr, nullptr, L"#32770", L"Marupo 新規アドレス");
            pagesBefore = frame == nullptr || FindWindowExW(frame, nullptr, L"#32770", nullptr);
            ModalDriver::SetControlText(settings, IDC_SETTINGS_NATIONWIDE_FILE, L"C:\\a.csv");
            ModalDriver::SetControlText(settings, IDC_SETTINGS_BUSINESS_FILE, L"C:\\b.csv");
            ModalDriver::Click(settings, c.confirm ? IDOK : IDCANCEL);
        });
        Run([&](HWND frame) {
            editorOpened = testing::AddressPageOf(frame) != nullptr;
            ModalDriver::Click(frame, IDCANCEL);
        });
        EXPECT_FALSE(pagesBefore);
        EXPECT_TRUE(editorOpened);
        EXPECT_EQ(fresh.Path("CSVFile1"), c.confirm ? "C:\\a.csv" : c.nationwide);
    }
}

TEST_F(EditorFrameTest, SettingsChosenInTheEditorAreSavedAndUsedByTheNextLookup) {
    // Outside the temporary folder, whose files the dialog refuses.
    testing::PostalFixtureFiles files(testing::ProgramFolder());
    const PostalSettings chosen = files.Settings();
    std::wstring prefecture;
    Run([&](HWND frame) {
        driver_.OnNextDialog([&](HWND settings) {
            SetDlgItemTextA(settings, IDC_SETTINGS_NATIONWIDE_FILE, chosen.nationwideFile.c_str());
            SetDlgItemTextA(settings, IDC_SETTINGS_BUSINESS_FILE, chosen.businessFile.c_str());
            ModalDriver::Click(settings, IDOK);
        });
        ModalDriver::Click(frame, IDC_EDITOR_SETTINGS);
        HWND address = testing::AddressPageOf(frame);
        ModalDriver::SetControlText(address, IDC_ADDR_POSTAL_CODE, L"0600042");
        ModalDriver::Click(address, IDC_ADDR_CONVERT_POSTAL);
        prefecture = ModalDriver::ControlText(address, IDC_ADDR_PREFECTURE);
        ModalDriver::Click(frame, IDCANCEL);
    });
    EXPECT_EQ(prefecture, L"北海道");
    EXPECT_EQ(registry_.Path("CSVFile1"), chosen.nationwideFile);
    EXPECT_EQ(registry_.Path("CSVFile2"), chosen.businessFile);
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(EditorFrameTest, SystemMenuOpensTheAboutBoxAndTheSettings) {
    std::vector<std::wstring> menuItems;
    std::vector<std::wstring> opened;
    Run([&](HWND frame) {
        HMENU menu = GetSystemMenu(frame, FALSE);
        const int count = GetMenuItemCount(menu);
        for (int i = count - 3; i < count; ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            menuItems.push_back(std::to_wstring(GetMenuItemID(menu, i)) + L":" + text);
        }
        // The low four bits of a system command are the system's own.
        for (WPARAM command : {WPARAM{IDM_SYSTEM_ABOUT | 0x3}, WPARAM{IDM_SYSTEM_SETTINGS}}) {
            driver_.OnNextDialog([&](HWND dialog) {
                opened.push_back(ModalDriver::Text(dialog));
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc
            });
            SendMessageW(frame, WM_SYSCOMMAND, command, 0);
        }
        ModalDriver::Click(frame, IDCANCEL);
    });
    EXPECT_EQ(menuItems, (std::vector<std::wstring>{L"0:", L"16:バージョン情報", L"32:設定"}));
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"バージョン情報", L"Marupo 設定"}));
}

}  // namespace
}  // namespace marupo
