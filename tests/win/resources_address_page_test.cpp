// The address page and its label menu as compiled into the shipped 32-bit DLL: ids, kinds,
// styles, positions in dialog units, texts, tab order and group starts, row by row.

#include <gtest/gtest.h>

#include "res/address_page.h"
#include "tests/support/dialog_layout_check.h"
#include "ui/resources.h"

namespace marupo {
namespace {

using testing::DialogTemplate;

constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kCustomLabel = SS_RIGHT | WS_GROUP;
constexpr DWORD kFrame = BS_GROUPBOX | BS_FLAT;

// In creation (tab) order.
const testing::ExpectedControl kRows[] = {
    {-1, L"Static", kLabel, 21, 20, 36, 8, L"よみ(姓)(&W):"},
    {312, L"Edit", kEdit, 60, 17, 50, 14, L""},
    {-1, L"Static", kLabel, 115, 20, 35, 8, L"よみ(名)(&Y):"},
    {315, L"Edit", kEdit, 153, 17, 50, 14, L""},
    {-1, L"Static", kLabel, 40, 35, 17, 8, L"姓(&L):"},
    {316, L"Edit", kEdit, 60, 32, 50, 14, L""},
    {-1, L"Static", kLabel, 132, 35, 18, 8, L"名(&F):"},
    {317, L"Edit", kEdit, 153, 32, 50, 14, L""},
    {-1, L"Static", kLabel, 33, 50, 24, 8, L"役職(&T):"},
    {318, L"Edit", kEdit, 60, 47, 144, 14, L""},
    {-1, L"Static", kLabel, 15, 65, 42, 8, L"よみ(会社)(&K):"},
    {319, L"Edit", kEdit, 60, 62, 144, 14, L""},
    {-1, L"Static", kLabel, 31, 80, 26, 8, L"会社(&M):"},
    {320, L"Edit", kEdit, 60, 77, 144, 14, L""},
    {-1, L"Static", kLabel, 19, 108, 38, 8, L"郵便番号(&Z):"},
    {321, L"Edit", kEdit, 60, 105, 89, 14, L""},
    {326, L"Button", kButton, 152, 105, 50, 14, L"〒 変換"},
    {-1, L"Static", kLabel, 19, 123, 39, 8, L"都道府県(&A):"},
    {322, L"Edit", kEdit, 60, 120, 144, 14, L""},
    {-1, L"Static", kLabel, 28, 139, 29, 8, L"市町村(&I):"},
    {323, L"Edit", kEdit, 60, 135, 144, 14, L""},
    {-1, L"Static", kLabel, 33, 153, 24, 8, L"番地(&S):"},
    {324, L"Edit",
     ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
     60, 150, 144, 20, L""},
    {-1, L"Static", kLabel, 32, 174, 25, 8, L"国名(&D):"},
    {325, L"Edit", kEdit, 60, 171, 144, 14, L""},
    {327, L"Button", kRadio | WS_GROUP, 216, 19, 43, 10, L"00000000"},
    {328, L"Button", kRadio, 216, 34, 43, 10, L"00000000"},
    {329, L"Button", kRadio, 216, 49, 43, 10, L"00000000"},
    {330, L"Button", kRadio, 216, 64, 43, 10, L"00000000"},
    {331, L"Button", kRadio, 216, 79, 43, 10, L"00000000"},
    {332, L"Button", kButton | WS_GROUP, 260, 16, 11, 14, L"▼"},
    {337, L"Edit", kEdit, 275, 16, 90, 14, L""},
    {333, L"Button", kButton, 260, 31, 11, 14, L"▼"},
    {338, L"Edit", kEdit, 275, 31, 90, 14, L""},
    {334, L"Button", kButton, 260, 46, 11, 14, L"▼"},
    {339, L"Edit", kEdit, 275, 46, 90, 14, L""},
    {335, L"Button", kButton, 260, 61, 11, 14, L"▼"},
    {340, L"Edit", kEdit, 275, 61, 90, 14, L""},
    {336, L"Button", kButton, 260, 76, 11, 14, L"▼"},
    {341, L"Edit", kEdit, 275, 76, 90, 14, L""},
    {344, L"Static", kLabel, 237, 101, 114, 8, L"00000000は通常使用する連絡先です。"},
    {347, L"Static", kCustomLabel, 213, 123, 56, 8, L"0000000000000000"},
    {342, L"Edit", kEdit, 270, 120, 95, 14, L""},
    {348, L"Static", kCustomLabel, 213, 138, 56, 8, L"0000000000000000"},
    {343, L"Edit", kEdit, 270, 135, 95, 14, L""},
    {349, L"Static", kCustomLabel, 213, 153, 56, 8, L"0000000000000000"},
    {345, L"Edit", kEdit, 270, 150, 95, 14, L""},
    {350, L"Static", kCustomLabel, 213, 168, 56, 8, L"0000000000000000"},
    {346, L"Edit", kEdit, 270, 165, 95, 14, L""},
    {-1, L"Button", kFrame, 7, 7, 202, 87, L"名前"},
    {-1, L"Button", kFrame, 7, 95, 202, 95, L"アドレス"},
    {-1, L"Button", kFrame, 211, 7, 160, 183, L"連絡先"},
};

struct MenuRow {
    UINT id;
    const wchar_t* text;
};

// In menu order; the ids do not follow it (その他 is 32776, and there is no 32771).
const MenuRow kMenuRows[] = {
    {32768, L"会社"},   {32769, L"自宅"}, {32770, L"Fax"},      {32776, L"その他"},
    {32772, L"E-Mail"}, {32773, L"代表"}, {32774, L"ポケベル"}, {32775, L"携帯"},
};

class AddressPageResourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = resources_.Module();
        dialog_ = testing::LoadDialogTemplate(module_, IDD_ADDRESS_PAGE);
        ASSERT_TRUE(dialog_.has_value()) << "dialog 303 is missing";
    }

    testing::ShippedResources resources_;
    HMODULE module_ = nullptr;
    std::optional<DialogTemplate> dialog_;
};

// An invisible control child over the tab area.
TEST_F(AddressPageResourceTest, PageMatchesItsLayoutRowByRow) {
    testing::ExpectDialog(module_, {IDD_ADDRESS_PAGE, DS_SETFONT | DS_CONTROL | WS_CHILD, 8, 22,
                                    378, 197, L"", kRows, std::size(kRows)});
    EXPECT_EQ(dialog_->style & WS_VISIBLE, 0u);
}

// The slots' radio buttons form exactly one group that keyboard navigation skips: only the
// ▼ button after them starts the next one.
TEST_F(AddressPageResourceTest, PrimaryRadiosAreOneGroupWithoutTabStops) {
    std::size_t first = 0;
    while (first < dialog_->controls.size() && dialog_->controls[first].id != 327) ++first;
    ASSERT_LT(first + 5, dialog_->controls.size());
    for (std::size_t k = 0; k < 5; ++k) {
        const auto& radio = dialog_->controls[first + k];
        EXPECT_EQ(radio.id, static_cast<int>(327 + k));
        EXPECT_EQ(radio.style & WS_TABSTOP, 0u) << radio.id;
        EXPECT_EQ((radio.style & WS_GROUP) != 0, k == 0) << radio.id;
    }
    EXPECT_NE(dialog_->controls[first + 5].style & WS_GROUP, 0u);
}

TEST_F(AddressPageResourceTest, LabelMenuListsTheEightLabelsInOrder) {
    win::UniqueMenu menu(LoadMenuW(module_, MAKEINTRESOURCEW(IDR_LABEL_MENU)));
    ASSERT_TRUE(menu) << "menu 308 is missing";
    ASSERT_EQ(GetMenuItemCount(menu.Get()), 1);
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(std::size(kMenuRows)));
    for (std::size_t i = 0; i < std::size(kMenuRows); ++i) {
        SCOPED_TRACE(::testing::Message() << "item " << i);
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ(info.wID, kMenuRows[i].id);
        EXPECT_STREQ(text, kMenuRows[i].text);
        EXPECT_EQ(info.fType, UINT{MFT_STRING});
        EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_DISABLED), 0u);
    }
    EXPECT_EQ(GetMenuState(popup, 32771, MF_BYCOMMAND), static_cast<UINT>(-1));
}

}  // namespace
}  // namespace marupo
