// The confirmation dialog as compiled into the shipped 32-bit DLL: ids, kinds, styles, positions
// in dialog units, texts and creation order, row by row.

#include <gtest/gtest.h>

#include "res/update_dialog.h"
#include "tests/support/dialog_layout_check.h"

namespace marupo {
namespace {

using testing::DialogTemplate;

// In creation (tab) order.
const testing::ExpectedControl kRows[] = {
    {327, L"Button", BS_AUTORADIOBUTTON | WS_GROUP, 61, 6, 61, 10, L"全て書き換える"},
    {328, L"Button", BS_AUTORADIOBUTTON, 135, 6, 70, 10, L"番地のみ追記する"},
    {356, L"Static", SS_LEFT | SS_SUNKEN | WS_GROUP, 5, 6, 38, 8, L"〒 000-0000"},
    {-1, L"Button", BS_GROUPBOX, 3, 18, 228, 66, L"旧住所"},
    {-1, L"Static", SS_LEFT, 8, 30, 32, 8, L"都道府県 :"},
    {354, L"Static", SS_LEFT, 44, 30, 170, 8, L""},
    {-1, L"Static", SS_LEFT, 8, 42, 25, 8, L"市町村 :"},
    {364, L"Static", SS_LEFT, 44, 42, 170, 8, L""},
    {-1, L"Static", SS_LEFT, 8, 54, 18, 8, L"番地 :"},
    {365, L"Static", SS_LEFT, 44, 54, 170, 24, L""},
    {-1, L"Static", SS_LEFT, 111, 87, 8, 8, L"↓"},
    {-1, L"Static", SS_LEFT, 8, 107, 32, 8, L"都道府県 :"},
    {355, L"Static", SS_LEFT, 44, 107, 170, 8, L""},
    {-1, L"Static", SS_LEFT, 8, 119, 25, 8, L"市町村 :"},
    {366, L"Static", SS_LEFT, 44, 119, 170, 8, L""},
    {-1, L"Static", SS_LEFT, 8, 131, 18, 8, L"番地 :"},
    {367, L"Static", SS_LEFT, 44, 131, 170, 24, L""},
    {IDOK, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 239, 5, 50, 14, L"OK"},
    {IDCANCEL, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 239, 22, 50, 14, L"キャンセル"},
    {-1, L"Button", BS_GROUPBOX, 3, 95, 228, 66, L"新住所"},
};

class UpdateDialogResourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_ = testing::LoadDialogTemplate(resources_.Module(), IDD_ADDRESS_UPDATE);
        ASSERT_TRUE(dialog_.has_value()) << "dialog 309 is missing";
    }

    testing::ShippedResources resources_;
    std::optional<DialogTemplate> dialog_;
};

// A modal dialog with a caption and without a system menu.
TEST_F(UpdateDialogResourceTest, DialogMatchesItsLayoutRowByRow) {
    testing::ExpectDialog(resources_.Module(),
                          {IDD_ADDRESS_UPDATE, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION,
                           0, 0, 294, 163, L"住所更新確認", kRows, std::size(kRows)});
    EXPECT_EQ(dialog_->style & WS_SYSMENU, 0u);
}

TEST_F(UpdateDialogResourceTest, OnlyOkAndCancelAreTabStops) {
    int tabStops = 0;
    for (const auto& control : dialog_->controls) {
        if ((control.style & WS_TABSTOP) == 0) continue;
        ++tabStops;
        EXPECT_TRUE(control.id == IDOK || control.id == IDCANCEL) << control.id;
    }
    EXPECT_EQ(tabStops, 2);
}

}  // namespace
}  // namespace marupo
