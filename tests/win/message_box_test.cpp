#include <gtest/gtest.h>

#include "tests/support/modal_driver.h"
#include "ui/message_box.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

TEST(MessageBoxTest, ShowsOkExclamationBoxCaptionedWithModuleName) {
    ui::SetAddinModule(GetModuleHandleW(nullptr));
    testing::ModalDriver driver;
    ui::ShowMessage(L"郵便番号が不正です");
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    const auto& box = driver.MessageBoxes()[0];
    EXPECT_EQ(box.text, L"郵便番号が不正です");
    EXPECT_EQ(box.caption, L"win_message_box_test");
    EXPECT_TRUE(box.exclamationIcon);
    EXPECT_TRUE(box.onlyOkButton);
}

TEST(ModuleStateTest, ScopeSwitchesToAddinModuleAndRestores) {
    HINSTANCE exe = GetModuleHandleW(nullptr);
    HINSTANCE other = GetModuleHandleW(L"user32.dll");
    ui::SetAddinModule(exe);
    {
        ui::AddinModuleScope scope;
        EXPECT_EQ(ui::CurrentModule(), exe);
        EXPECT_EQ(ui::LoadAnsiString(108), "SOFTWARE\\Orlenta\\Marupo");
    }
    ui::SetAddinModule(other);
    {
        ui::AddinModuleScope outer;
        EXPECT_EQ(ui::CurrentModule(), other);
        ui::SetAddinModule(exe);
        {
            ui::AddinModuleScope inner;
            EXPECT_EQ(ui::CurrentModule(), exe);
        }
        EXPECT_EQ(ui::CurrentModule(), other);
    }
    ui::SetAddinModule(exe);
}

}  // namespace
}  // namespace marupo
