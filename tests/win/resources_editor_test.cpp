// The editor frame, the note page, the about box and the settings dialog as compiled into the
// shipped 32-bit DLL, row by row; their strings, the icon's two images and the cursor's hot spot.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "res/about_dialog.h"
#include "res/editor.h"
#include "res/settings_dialog.h"
#include "tests/support/dialog_layout_check.h"

namespace marupo {
namespace {

using testing::ExpectedControl;

constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefault = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kPathEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kModal = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION;

const ExpectedControl kFrameRows[] = {
    {IDOK, L"Button", kDefault, 394, 20, 77, 16, L"OK"},
    {IDCANCEL, L"Button", kButton, 394, 39, 77, 16, L"キャンセル"},
    {361, L"Button", kButton, 394, 72, 77, 16, L"Marupo 設定"},
    {362, L"Button", kButton, 394, 91, 77, 16, L"バージョン情報"},
    {-1, L"Static", kLabel, 394, 166, 35, 8, L"カテゴリ(&C):"},
    {313, L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 394, 179, 78, 83, L""},
    {314, L"Button", kCheck, 394, 207, 60, 10, L"プライベート(&P)"},
    {363, L"Static", kLabel, 463, 208, 8, 8, L"1"},
    // The resource compiler keeps a class given by name in upper case; classes match regardless.
    {311, L"SYSTABCONTROL32", 0, 7, 7, 382, 215, L"Tab1"},
};

const ExpectedControl kNoteRows[] = {
    {312, L"Edit",
     ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
     19, 22, 252, 151, L""},
    {-1, L"Button", BS_GROUPBOX, 7, 7, 277, 183, L"コメント"},
};

const ExpectedControl kAboutRows[] = {
    {IDOK, L"Button", kDefault, 173, 7, 50, 14, L"OK"},
    {-1, L"Static", SS_ICON, 10, 13, 20, 20, L"#302"},
    {353, L"Static", kLabel, 57, 9, 96, 8, L"Marupo Version 0.00 0000"},
    {-1, L"Static", kLabel, 56, 24, 91, 8, L"(C) 2026 Marupo Project"},
    {352, L"Static", kLabel | SS_NOTIFY, 56, 35, 71, 8, L"使い方ガイド"},
};

const ExpectedControl kSettingsRows[] = {
    {IDOK, L"Button", kDefault, 292, 7, 50, 14, L"OK"},
    {IDCANCEL, L"Button", kButton, 292, 24, 50, 14, L"キャンセル"},
    {-1, L"Static", kLabel, 11, 20, 42, 8, L"全国一括住所"},
    {-1, L"Button", BS_GROUPBOX, 4, 5, 282, 75, L"郵便番号CSVファイル"},
    {-1, L"Static", kLabel, 12, 37, 35, 8, L"事業所個別"},
    {357, L"Edit", kPathEdit, 58, 17, 188, 14, L""},
    {313, L"Edit", kPathEdit, 58, 34, 188, 14, L""},
    {358, L"Button", kButton, 249, 17, 32, 14, L"参照"},
    {327, L"Button", kButton, 249, 34, 32, 14, L"参照"},
    {359, L"Button", kCheck, 7, 89, 280, 10,
     L"制令都市も市名と区域を分割する ( 例: 札幌市中央区 : 旭ケ丘 → 札幌市 : 中央区旭ケ丘 )"},
    {360, L"Button", kButton, 94, 57, 122, 14, L"郵便番号ダウンロードページを開く"},
};

// The frame's caption is replaced at run time, whatever the template says.
TEST(EditorResourcesTest, DialogsMatchTheirLayoutsRowByRow) {
    const testing::ExpectedDialog dialogs[] = {
        {IDD_EDITOR_FRAME, kModal | WS_SYSMENU, 0, 0, 478, 229, nullptr, kFrameRows,
         std::size(kFrameRows)},
        {IDD_NOTE_PAGE, DS_SETFONT | DS_CONTROL | WS_CHILD | WS_BORDER, 8, 22, 378, 197, L"",
         kNoteRows, std::size(kNoteRows)},
        {IDD_ABOUT, kModal, 0, 0, 231, 51, L"バージョン情報", kAboutRows, std::size(kAboutRows)},
        {IDD_SETTINGS, kModal, 0, 0, 347, 107, L"Marupo 設定", kSettingsRows,
         std::size(kSettingsRows)},
    };
    testing::ShippedResources resources;
    for (const auto& dialog : dialogs) testing::ExpectDialog(resources.Module(), dialog);
}

TEST(EditorResourcesTest, StringsOfTheEditorSettingsAndAboutBox) {
    const std::pair<UINT, const wchar_t*> strings[] = {
        {101, L"バージョン情報"},
        {104, L"Marupo Version 0.96 β"},
        {105, L"設定"},
        {106, L"Marupo-guide.html"},
        {107, L"https://www.post.japanpost.jp/zipcode/download.html"},
    };
    testing::ShippedResources resources;
    for (const auto& [id, text] : strings) {
        wchar_t buffer[256] = {};
        LoadStringW(resources.Module(), id, buffer, 256);
        EXPECT_EQ(std::wstring(buffer), text) << id;
    }
}

// The bytes of resource `id` of `type` (RT_GROUP_ICON 14, RT_GROUP_CURSOR 12, RT_CURSOR 1);
// empty when absent.
std::vector<BYTE> ResourceBytes(HMODULE module, LPCWSTR type, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

TEST(EditorResourcesTest, IconHasBothSizesInSixteenColoursAndTheHandPointsAtItsHotSpot) {
    testing::ShippedResources resources;
    // Group entries: width, height, colours, reserved, planes, bit count, size, id (14 bytes).
    const std::vector<BYTE> icons =
        ResourceBytes(resources.Module(), MAKEINTRESOURCEW(14), IDI_MARUPO);
    ASSERT_GE(icons.size(), 6u + 2 * 14);
    ASSERT_EQ(icons[4], 2);
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = icons.data() + 6 + 14 * i;
        EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
        EXPECT_EQ(entry[1], i == 0 ? 32 : 16);
        EXPECT_EQ(entry[2], 16);  // colours
    }
    // A cursor image starts with its hot spot, then a monochrome 32 x 64 (image and mask) DIB.
    const std::vector<BYTE> group =
        ResourceBytes(resources.Module(), MAKEINTRESOURCEW(12), IDC_HAND_CURSOR);
    ASSERT_GE(group.size(), 6u + 14);
    const UINT imageId = group[6 + 12] | (group[6 + 13] << 8);
    const std::vector<BYTE> cursor =
        ResourceBytes(resources.Module(), MAKEINTRESOURCEW(1), imageId);
    ASSERT_GE(cursor.size(), 4u + sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(cursor[0] | (cursor[1] << 8), 13);
    EXPECT_EQ(cursor[2] | (cursor[3] << 8), 2);
    BITMAPINFOHEADER header{};
    memcpy(&header, cursor.data() + 4, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biBitCount, 1);
}

}  // namespace
}  // namespace marupo
