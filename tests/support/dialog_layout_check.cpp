#include "tests/support/dialog_layout_check.h"

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

namespace marupo::testing {

ShippedResources::ShippedResources() {
    const std::wstring path = ShippedDllPath();
    dll_ = std::make_unique<ResourceModule>(path);
    module_ = dll_->Handle();
    if (!dll_->IsOpen()) {
        std::wcout << L"[ NOTE     ] no shipped DLL at " << path
                   << L"; checking this program's own copy of the resources\n";
        module_ = GetModuleHandleW(nullptr);
    }
}

void ExpectNinePointGothic(const DialogTemplate& dialog) {
    EXPECT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.fontPointSize, 9);
    EXPECT_EQ(dialog.fontName, L"ＭＳ Ｐゴシック");
}

void ExpectControls(const DialogTemplate& dialog, const ExpectedControl* rows, std::size_t count) {
    ASSERT_EQ(dialog.controls.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const ExpectedControl& row = rows[i];
        const DialogControl& control = dialog.controls[i];
        SCOPED_TRACE(::testing::Message() << "row " << i << ", id " << row.id);
        EXPECT_EQ(control.id, row.id);
        EXPECT_EQ(control.className, row.className);
        EXPECT_EQ(control.style, WS_CHILD | WS_VISIBLE | row.style) << std::hex << control.style;
        EXPECT_EQ(control.exStyle, 0u);
        EXPECT_EQ(control.x, row.x);
        EXPECT_EQ(control.y, row.y);
        EXPECT_EQ(control.cx, row.cx);
        EXPECT_EQ(control.cy, row.cy);
        EXPECT_EQ(control.text, row.text);
    }
}

void ExpectDialog(HMODULE module, const ExpectedDialog& expected) {
    SCOPED_TRACE(::testing::Message() << "dialog " << expected.id);
    const auto dialog = LoadDialogTemplate(module, expected.id);
    ASSERT_TRUE(dialog.has_value()) << "dialog " << expected.id << " is missing";
    EXPECT_EQ(dialog->style, expected.style) << std::hex << dialog->style;
    EXPECT_EQ((std::vector<int>{dialog->x, dialog->y, dialog->cx, dialog->cy}),
              (std::vector<int>{expected.x, expected.y, expected.cx, expected.cy}));
    if (expected.caption != nullptr) {
        EXPECT_EQ(dialog->caption, expected.caption);
    }
    EXPECT_TRUE(dialog->menu.empty());
    EXPECT_TRUE(dialog->windowClass.empty());
    ExpectNinePointGothic(*dialog);
    ExpectControls(*dialog, expected.rows, expected.count);
}

}  // namespace marupo::testing
