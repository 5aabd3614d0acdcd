// The settings dialog driven through its real window and the system's file-open dialog.

#include <windows.h>

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "res/settings_dialog.h"
#include "settings/postal_path_check.h"
#include "settings/settings_dialog.h"
#include "tests/support/modal_driver.h"
#include "tests/support/zip_writer.h"
#include "tests/win/editor_test_support.h"
#include "text/encoding.h"
#include "ui/shell_open.h"

namespace marupo {
namespace {

using testing::ModalDriver;

class SettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::SetAddinModule(GetModuleHandleW(nullptr)); }

    INT_PTR Run(std::function<void(HWND)> drive) {
        driver_.OnNextDialog(std::move(drive));
        INT_PTR result = dialog_.DoModal();
        ui::PumpUntilQuiet();
        EXPECT_EQ(driver_.UnhandledDialogs(), 0);
        return result;
    }

    // Answers the next file-open dialog with `path`, or cancels it; records what it offered.
    void AnswerFileDialog(std::optional<std::wstring> path) {
        driver_.OnNextDialog([this, path](HWND files) {
            offeredName_ = ModalDriver::ControlText(files, cmb13);
            if (offeredName_.empty()) offeredName_ = ModalDriver::ControlText(files, edt1);
            if (!path) {
                ModalDriver::Click(files, IDCANCEL);
                return;
            }
            SetDlgItemTextW(files, cmb13, path->c_str());
            SetDlgItemTextW(files, edt1, path->c_str());
            ModalDriver::Click(files, IDOK);
        });
    }

    testing::PostalFixtureFiles files_;
    SettingsDialog dialog_;
    ModalDriver driver_;
    std::wstring offeredName_;
};

TEST_F(SettingsDialogTest, SplitBoxShowsAnyNonZeroAsCheckedAndOkGivesZeroOrOne) {
    struct Case {
        std::int32_t stored;
        bool shownChecked;
        bool click;
        std::int32_t returned;
    } const cases[] = {
        {0, false, false, 0}, {7, true, false, 1}, {0, false, true, 1}, {7, true, true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        dialog_.divCity = c.stored;
        bool checked = !c.shownChecked;
        EXPECT_EQ(Run([&](HWND window) {
                      checked = IsDlgButtonChecked(window, IDC_SETTINGS_DIV_CITY) == BST_CHECKED;
                      if (c.click) ModalDriver::Click(window, IDC_SETTINGS_DIV_CITY);
                      ModalDriver::Click(window, IDOK);
                  }),
                  IDOK);
        EXPECT_EQ(checked, c.shownChecked);
        EXPECT_EQ(dialog_.divCity, c.returned);
    }
}

TEST_F(SettingsDialogTest, BrowsingRefreshesBothEditsFromTheHeldPaths) {
    const std::wstring chosen = ui::AnsiToWide(files_.Path(L"KEN_ALL.CSV"));
    struct Case {
        const char* name;
        int button;
        const char* heldNationwide;
        const char* heldBusiness;
        std::optional<std::wstring> answer;
        std::wstring nationwideShown;
        std::wstring businessShown;
        std::wstring offered;
    } const cases[] = {
        {"chosen: typed text replaced", IDC_SETTINGS_NATIONWIDE_BROWSE, "C:\\old.csv",
         "C:\\held.csv", chosen, chosen, L"C:\\held.csv", L"utf_ken_all.zip"},
        {"cancelled with a held path: refreshed", IDC_SETTINGS_NATIONWIDE_BROWSE, "C:\\old.csv",
         "C:\\held.csv", std::nullopt, L"C:\\old.csv", L"C:\\held.csv", L"utf_ken_all.zip"},
        {"cancelled with nothing held: left alone", IDC_SETTINGS_BUSINESS_BROWSE, "C:\\old.csv", "",
         std::nullopt, L"C:\\typed1.csv", L"C:\\typed2.csv", L"jigyosyo.zip"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog_.nationwideFile = c.heldNationwide;
        dialog_.businessFile = c.heldBusiness;
        std::wstring nationwide;
        std::wstring business;
        Run([&](HWND window) {
            ModalDriver::SetControlText(window, IDC_SETTINGS_NATIONWIDE_FILE, L"C:\\typed1.csv");
            ModalDriver::SetControlText(window, IDC_SETTINGS_BUSINESS_FILE, L"C:\\typed2.csv");
            AnswerFileDialog(c.answer);
            ModalDriver::Click(window, c.button);
            nationwide = ModalDriver::ControlText(window, IDC_SETTINGS_NATIONWIDE_FILE);
            business = ModalDriver::ControlText(window, IDC_SETTINGS_BUSINESS_FILE);
            ModalDriver::Click(window, IDCANCEL);
        });
        EXPECT_EQ(offeredName_, c.offered);
        EXPECT_EQ(nationwide, c.nationwideShown);
        EXPECT_EQ(business, c.businessShown);
    }
}

TEST_F(SettingsDialogTest, OkTakesTypedPathsAndAcceptsBothEmpty) {
    for (const std::wstring& typed : {std::wstring(L"D:\\郵便\\KEN_ALL.CSV"), std::wstring()}) {
        dialog_.nationwideFile = "C:\\old1.csv";
        dialog_.businessFile = "C:\\old2.csv";
        EXPECT_EQ(Run([&](HWND window) {
                      ModalDriver::SetControlText(window, IDC_SETTINGS_NATIONWIDE_FILE, typed);
                      ModalDriver::SetControlText(window, IDC_SETTINGS_BUSINESS_FILE, typed);
                      ModalDriver::Click(window, IDOK);
                  }),
                  IDOK);
        EXPECT_EQ(dialog_.nationwideFile, testing::Sjis(typed));
        EXPECT_EQ(dialog_.businessFile, testing::Sjis(typed));
    }
}

TEST(PostalPathCheckTest, RefusesTemporaryCopiesAndFilesOfTheWrongKind) {
    namespace fs = std::filesystem;
    const testing::PostalFixtureFiles kept(testing::ProgramFolder());
    const auto read = [&](const wchar_t* name) {
        std::ifstream in(fs::path(ui::AnsiToWide(kept.Path(name))), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto write = [&](const wchar_t* name, const std::string& content) {
        std::ofstream(fs::path(ui::AnsiToWide(kept.Path(name))), std::ios::binary) << content;
        return kept.Path(name);
    };
    const std::string utf8Zip =
        write(L"utf_ken_all.zip",
              testing::MakeZip({{"utf_all.csv", text::Cp932ToUtf8(read(L"KEN_ALL.CSV"))}}));
    const std::string kenZip =
        write(L"ken_all.zip", testing::MakeZip({{"KEN_ALL.CSV", read(L"KEN_ALL.CSV")}}));
    const std::string jigyosyoZip =
        write(L"jigyosyo.zip", testing::MakeZip({{"JIGYOSYO.CSV", read(L"JIGYOSYO.CSV")}}));
    const std::string twoCsv =
        write(L"two.zip", testing::MakeZip({{"a.csv", "x"}, {"b.csv", "y"}}));
    const std::string other = write(L"other.csv", "name,phone\r\n山田,03-1234-5678\r\n");
    // Where Explorer puts a file opened inside a ZIP, before and after Windows deletes it.
    const fs::path unpacked =
        fs::temp_directory_path() / ("Temp1_ken_all.zip_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(unpacked);
    fs::copy_file(ui::AnsiToWide(kept.Path(L"KEN_ALL.CSV")), unpacked / "KEN_ALL.CSV");
    const std::wstring temporary =
        L"のファイルは一時フォルダーの中にあり、Windows によって削除されます。"
        L"ダウンロードした ZIP ファイルそのもの、または展開したファイルを選んでください。";
    const std::wstring notPostal =
        L"のファイルは郵便番号データではないようです。"
        L"日本郵便のページからダウンロードしたファイルを選んでください。";
    const struct {
        PostalSlot slot;
        std::string path;
        std::wstring refusal;
    } cases[] = {
        {PostalSlot::kNationwide, kept.Path(L"KEN_ALL.CSV"), L""},
        {PostalSlot::kNationwide, utf8Zip, L""},
        {PostalSlot::kNationwide, kenZip, L""},
        {PostalSlot::kBusiness, kept.Path(L"JIGYOSYO.CSV"), L""},
        {PostalSlot::kBusiness, jigyosyoZip, L""},
        {PostalSlot::kNationwide, jigyosyoZip,
         L"全国一括住所のファイルに事業所の郵便番号データが選ばれています。utf_ken_all.zip または "
         L"ken_all.zip を選んでください。"},
        {PostalSlot::kBusiness, utf8Zip,
         L"事業所個別のファイルに住所の郵便番号データが選ばれています。jigyosyo.zip "
         L"を選んでください。"},
        {PostalSlot::kNationwide, other, L"全国一括住所" + notPostal},
        {PostalSlot::kBusiness, twoCsv, L"事業所個別" + notPostal},
        {PostalSlot::kNationwide, ui::WideToAnsi((unpacked / "KEN_ALL.CSV").wstring()),
         L"全国一括住所" + temporary},
        {PostalSlot::kBusiness, ui::WideToAnsi((unpacked / "gone" / "JIGYOSYO.CSV").wstring()),
         L"事業所個別" + temporary},
        // Cannot be read now, as on a network drive that is offline: kept.
        {PostalSlot::kNationwide, ui::WideToAnsi(L"Q:\\郵便\\KEN_ALL.CSV"), L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckPostalPath(c.slot, c.path), c.refusal) << c.path;
    }
    std::error_code ignored;
    fs::remove_all(unpacked, ignored);
}

TEST_F(SettingsDialogTest, DownloadButtonOpensJapanPostsPageAndStaysOpen) {
    std::vector<std::string> opened;
    HWND openedFor = nullptr;
    ui::ShellOpenerOverride opener([&](HWND owner, const std::string& address) {
        opened.push_back(address);
        openedFor = owner;
    });
    HWND window = nullptr;
    bool stillOpen = false;
    Run([&](HWND dialog) {
        window = dialog;
        ModalDriver::Click(dialog, IDC_SETTINGS_DOWNLOAD_PAGE);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        ModalDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(opened,
              std::vector<std::string>{"https://www.post.japanpost.jp/zipcode/download.html"});
    EXPECT_EQ(openedFor, window);
    EXPECT_TRUE(stillOpen);
}

}  // namespace
}  // namespace marupo
