#include "tests/support/dialog_layout_check.h"

#include <gtest/gtest.h>

#include <iostream>

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

}  // namespace marupo::testing
