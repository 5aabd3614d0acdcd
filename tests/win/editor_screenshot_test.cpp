// The editor on both tabs with a filled entry, the settings dialog and the about box, held on
// the screen for scripts/screenshots.sh; skipped as an ordinary test.

#include <windows.h>

#include <gtest/gtest.h>

#include "editor/address_editor_dialog.h"
#include "res/editor.h"
#include "tests/support/modal_driver.h"
#include "tests/win/editor_test_support.h"
#include "tests/win/screenshot_support.h"

namespace marupo {
namespace {

using testing::ModalDriver;

TEST(EditorScreenshotTest, HoldsEditorSettingsAndAboutBoxForTheCamera) {
    const std::filesystem::path folder = testing::ScreenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "only for scripts/screenshots.sh";
    const testing::CaptureHandshake camera(folder);
    ui::SetAddinModule(GetModuleHandleW(nullptr));
    testing::SettingsInRegistry settings;
    settings.SetPaths(testing::Sjis(L"C:\\郵便番号\\KEN_ALL.CSV"),
                      testing::Sjis(L"C:\\郵便番号\\JIGYOSYO.CSV"));

    AddressEntry entry;
    testing::FillSampleEntry(entry);
    entry.editsExisting = true;
    entry.category = testing::Sjis(L"仕事");
    entry.note = testing::Sjis(L"2026年の年賀状は送付済み。\r\n打ち合わせは毎月第一月曜日。");
    testing::GiveHostCategories(entry, {L"未分類", L"仕事", L"家族", L"友人"});

    ModalDriver driver;
    bool held = false;
    driver.OnNextDialog([&](HWND frame) {
        held = camera.Capture(frame, "editor_address");
        testing::ClickTab(frame, 1);
        held = held && camera.Capture(frame, "editor_note");
        driver.OnNextDialog([&](HWND dialog) {
            held = held && camera.Capture(dialog, "settings");
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        ModalDriver::Click(frame, IDC_EDITOR_SETTINGS);
        driver.OnNextDialog([&](HWND dialog) {
            held = held && camera.Capture(dialog, "about");
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        ModalDriver::Click(frame, IDC_EDITOR_ABOUT);
        ModalDriver::Click(frame, IDCANCEL);
    });
    editor::AddressEditorDialog editor(entry);
    EXPECT_EQ(editor.Run(), IDCANCEL);
    EXPECT_TRUE(held);
}

}  // namespace
}  // namespace marupo
