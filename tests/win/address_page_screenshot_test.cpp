// The address page and the update confirmation as a user sees them. The glyph check runs with
// the other tests; with MARUPO_SCREENSHOT_DIR set (scripts/screenshots.sh) the program also holds
// each window on the screen, tells the script where it is and waits until it has been captured.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "res/address_page.h"
#include "tests/support/modal_driver.h"
#include "tests/win/address_page_test_frame.h"

namespace marupo {
namespace {

using testing::PageFrame;
using testing::Sjis;

void FillSampleEntry(AddressEntry& entry) {
    entry.surname = Sjis(L"山田");
    entry.surnameReading = Sjis(L"やまだ");
    entry.givenName = Sjis(L"花子");
    entry.givenNameReading = Sjis(L"はなこ");
    entry.title = Sjis(L"営業部長");
    entry.company = Sjis(L"丸穂商事株式会社");
    entry.companyReading = Sjis(L"まるほしょうじかぶしきがいしゃ");
    entry.postalCode = "060-0042";
    entry.prefecture = Sjis(L"北海道");
    entry.city = Sjis(L"札幌市中央区");
    entry.street = Sjis(L"大通西1-2-3");
    entry.country = Sjis(L"日本");
    entry.primarySlot = 3;
    entry.contactSlots[0].text = "011-222-3333";
    entry.contactSlots[1].text = "011-444-5555";
    entry.contactSlots[2].text = "011-222-3334";
    entry.contactSlots[3] = {labelMobile, "090-1234-5678"};
    entry.contactSlots[4].text = "hanako@example.jp";
    entry.customLabels = {Sjis(L"誕生日:"), Sjis(L"趣味:"), Sjis(L"血液型:"), Sjis(L"メモ:")};
    entry.customFields = {Sjis(L"4月1日"), Sjis(L"登山"), "A", Sjis(L"年賀状送付")};
}

// Every character of `text` has a glyph in the font the control draws with.
::testing::AssertionResult DrawsWithJapaneseGlyphs(HWND control, const std::wstring& text) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (font == nullptr) return ::testing::AssertionFailure() << "no font";
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    if (std::wstring(logFont.lfFaceName) != L"ＭＳ Ｐゴシック")
        return ::testing::AssertionFailure() << "font is not the template's";
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, font);
    std::vector<WORD> glyphs(text.size());
    DWORD done = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                                  GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (done == GDI_ERROR) return ::testing::AssertionFailure() << "no glyph indices";
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i] == 0xFFFF)
            return ::testing::AssertionFailure() << "no glyph for character " << i;
    }
    return ::testing::AssertionSuccess();
}

TEST(AddressPageScreenshotTest, PageDrawsItsJapaneseTextsWithRealGlyphs) {
    PageFrame frame;
    FillSampleEntry(frame.page.entry);
    ASSERT_TRUE(frame.Open());
    EXPECT_TRUE(DrawsWithJapaneseGlyphs(frame.Item(IDC_ADDR_PRIMARY_LINE),
                                        frame.Text(IDC_ADDR_PRIMARY_LINE)));
    EXPECT_TRUE(DrawsWithJapaneseGlyphs(frame.Item(IDC_ADDR_CONVERT_POSTAL), L"〒 変換"));
    EXPECT_TRUE(DrawsWithJapaneseGlyphs(frame.Item(IDC_ADDR_SURNAME), L"山田やまだヤマダ"));
    EXPECT_TRUE(DrawsWithJapaneseGlyphs(frame.Item(IDC_ADDR_LABEL_BUTTON0), L"▼"));
}

// Hands the window's screen rectangle to the capturing script and waits until it is done.
class CaptureHandshake {
  public:
    explicit CaptureHandshake(std::filesystem::path folder) : folder_(std::move(folder)) {}

    bool Capture(HWND window, const std::string& name) const {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        // Wine hands what was drawn to the X server while the thread takes messages.
        KeepPumping(std::chrono::milliseconds(500));
        RECT rect{};
        GetWindowRect(window, &rect);
        const auto done = folder_ / (name + ".done");
        {
            std::ofstream out(folder_ / (name + ".rect.tmp"));
            out << rect.left << ' ' << rect.top << ' ' << rect.right - rect.left << ' '
                << rect.bottom - rect.top << '\n';
        }
        std::filesystem::rename(folder_ / (name + ".rect.tmp"), folder_ / (name + ".rect"));
        for (int waited = 0; waited < 600; ++waited) {
            if (std::filesystem::exists(done)) return true;
            KeepPumping(std::chrono::milliseconds(100));
        }
        return false;
    }

  private:
    static void KeepPumping(std::chrono::milliseconds duration) {
        const auto until = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < until) {
            testing::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::filesystem::path folder_;
};

std::filesystem::path WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

TEST(AddressPageScreenshotTest, HoldsPageAndConfirmationForTheCamera) {
    const wchar_t* folder = _wgetenv(L"MARUPO_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == L'\0') GTEST_SKIP() << "only for scripts/screenshots.sh";
    const CaptureHandshake camera(WindowsPath(folder));

    // A one-line nationwide file with the sample's postal code.
    const auto files = std::filesystem::temp_directory_path() / L"marupo_screenshots";
    std::filesystem::create_directories(files);
    {
        std::ofstream out(files / L"KEN_ALL.CSV", std::ios::binary);
        out << Sjis(
                   LR"(01101,"060  ","0600042","ﾎｯｶｲﾄﾞｳ","ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ","ｵｵﾄﾞｵﾘﾆｼ","北海道","札幌市中央区","大通西",0,0,1,0,0,0)")
            << "\r\n";
        std::ofstream business(files / L"JIGYOSYO.CSV", std::ios::binary);
    }

    PageFrame frame;
    FillSampleEntry(frame.page.entry);
    frame.settings.nationwideFile = Sjis((files / L"KEN_ALL.CSV").wstring());
    frame.settings.businessFile = Sjis((files / L"JIGYOSYO.CSV").wstring());
    ASSERT_TRUE(frame.Open());
    ASSERT_TRUE(camera.Capture(frame.page.Handle(), "address_page"));

    testing::ModalDriver driver;
    bool shown = false;
    driver.OnNextDialog([&](HWND dialog) {
        shown = true;
        EXPECT_TRUE(camera.Capture(dialog, "address_update"));
        testing::ModalDriver::Click(dialog, IDCANCEL);
    });
    frame.Click(IDC_ADDR_CONVERT_POSTAL);
    testing::PumpMessages();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(driver.MessageBoxes().empty());
    std::error_code ignored;
    std::filesystem::remove_all(files, ignored);
}

}  // namespace
}  // namespace marupo
