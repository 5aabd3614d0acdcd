// The about box driven through its real window: the version, the link's font and colour, the
// hand cursor over the link only, and a click that opens the user guide.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "module/about_dialog.h"
#include "res/about_dialog.h"
#include "tests/support/modal_driver.h"
#include "ui/message_pump.h"
#include "ui/module_state.h"
#include "ui/resources.h"
#include "ui/shell_open.h"
#include "ui/window_text.h"
#include "win/module_path.h"

namespace marupo {
namespace {

using testing::ModalDriver;

class AboutDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::SetAddinModule(GetModuleHandleW(nullptr)); }

    // Opens the box as the editor does and hands it to `look` before closing it with OK.
    void Open(std::function<void(HWND)> look) {
        driver_.OnNextDialog([look](HWND box) {
            look(box);
            ModalDriver::Click(box, IDOK);
        });
        AboutDialog::Show();
        ui::PumpUntilQuiet();
        EXPECT_EQ(driver_.UnhandledDialogs(), 0);
    }

    ModalDriver driver_;
};

TEST_F(AboutDialogTest, VersionAndALinkInBlueUnderlinedTextOverTheDefaultBrush) {
    std::wstring version;
    LOGFONTW link{};
    struct Seen {
        COLORREF text;
        LRESULT brush;
        LRESULT defaultBrush;
    };
    std::vector<Seen> seen;  // the link, then the version
    Open([&](HWND box) {
        version = ModalDriver::ControlText(box, IDC_ABOUT_VERSION);
        GetObjectW(
            reinterpret_cast<HFONT>(SendDlgItemMessageW(box, IDC_ABOUT_LINK, WM_GETFONT, 0, 0)),
            sizeof link, &link);
        HDC dc = CreateCompatibleDC(nullptr);
        for (int id : {IDC_ABOUT_LINK, IDC_ABOUT_VERSION}) {
            const auto control = reinterpret_cast<LPARAM>(GetDlgItem(box, id));
            SetTextColor(dc, RGB(1, 2, 3));
            const LRESULT defaultBrush =
                DefWindowProcW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), control);
            const LRESULT brush =
                SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), control);
            seen.push_back({GetTextColor(dc), brush, defaultBrush});
        }
        DeleteDC(dc);
    });
    EXPECT_EQ(version, L"Marupo Version 0.96 β");
    EXPECT_EQ(link.lfHeight, 12);
    EXPECT_TRUE(link.lfUnderline);
    EXPECT_EQ(link.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(std::wstring(link.lfFaceName), L"ＭＳ Ｐゴシック");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, RGB(0, 0, 255));
    EXPECT_NE(seen[1].text, RGB(0, 0, 255));
    for (const auto& s : seen) EXPECT_EQ(s.brush, s.defaultBrush);
}

TEST_F(AboutDialogTest, HandCursorOnlyOverTheLink) {
    const HCURSOR hand = ui::SharedCursorResource(IDC_HAND_CURSOR);
    ASSERT_NE(hand, nullptr);
    std::vector<bool> handShown;
    Open([&](HWND box) {
        for (int id : {IDC_ABOUT_LINK, IDOK, IDC_ABOUT_LINK, IDC_ABOUT_VERSION}) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
            SendMessageW(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(GetDlgItem(box, id)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            handShown.push_back(GetCursor() == hand);
        }
    });
    EXPECT_EQ(handShown, (std::vector<bool>{true, false, true, false}));
}

// The guide beside the module when it is there, else Japan Post's download page.
TEST_F(AboutDialogTest, ClickOnTheLinkOpensTheGuideOnceAndStaysOpen) {
    const std::filesystem::path guide =
        std::filesystem::path(win::ModuleFileName(nullptr)).replace_filename(L"Marupo-guide.html");
    for (const bool installed : {true, false}) {
        if (installed) std::ofstream(guide) << "<html></html>";
        std::vector<std::string> opened;
        ui::ShellOpenerOverride opener(
            [&](HWND, const std::string& address) { opened.push_back(address); });
        bool stillOpen = false;
        Open([&](HWND box) {
            HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
            SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            ui::PumpUntilQuiet();
            stillOpen = IsWindowVisible(box) != FALSE;
        });
        std::filesystem::remove(guide);
        ASSERT_EQ(opened.size(), 1u) << installed;
        EXPECT_EQ(
            ui::AnsiToWide(opened[0]),
            installed ? guide.wstring() : L"https://www.post.japanpost.jp/zipcode/download.html");
        EXPECT_TRUE(stillOpen);
    }
}

}  // namespace
}  // namespace marupo
