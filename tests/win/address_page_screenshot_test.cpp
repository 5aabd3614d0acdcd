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
#include "tests/win/screenshot_support.h"

namespace marupo {
namespace {

using testing::CaptureHandshake;
using testing::FillSampleEntry;
using testing::PageFrame;
using testing::Sjis;

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

TEST(AddressPageScreenshotTest, HoldsPageAndConfirmationForTheCamera) {
    const std::filesystem::path folder = testing::ScreenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "only for scripts/screenshots.sh";
    const CaptureHandshake camera(folder);

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
