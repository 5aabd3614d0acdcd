// The template reader itself, on templates built byte by byte: the classic layout (16-bit ids,
// no font weight), ordinals, custom classes, creation data and truncated data.

#include "tests/support/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace marupo::testing {
namespace {

class Bytes {
  public:
    Bytes& U16(std::uint16_t v) {
        data_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        data_.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    Bytes& U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        return U16(static_cast<std::uint16_t>(v >> 16));
    }
    Bytes& Text(const std::wstring& text) {
        for (wchar_t c : text) U16(static_cast<std::uint16_t>(c));
        return U16(0);
    }
    Bytes& Ordinal(std::uint16_t number) { return U16(0xFFFF).U16(number); }
    Bytes& Align() {
        while (data_.size() % 4 != 0) data_.push_back(0);
        return *this;
    }
    const std::vector<std::uint8_t>& Data() const { return data_; }

  private:
    std::vector<std::uint8_t> data_;
};

// A classic DIALOG with a font, a menu ordinal, an edit, an icon static with creation data, a
// control of a custom class with a 16-bit id of -1 and a group box whose class is a name.
Bytes ClassicTemplate() {
    Bytes b;
    b.U32(DS_SETFONT | WS_POPUP | WS_CAPTION).U32(WS_EX_TOOLWINDOW).U16(4);
    b.U16(10).U16(20).U16(200).U16(100);
    b.Ordinal(308).Text(L"").Text(L"設定");
    b.U16(9).Text(L"ＭＳ Ｐゴシック");
    b.Align().U32(WS_CHILD | ES_AUTOHSCROLL).U32(WS_EX_CLIENTEDGE);
    b.U16(1).U16(2).U16(30).U16(14).U16(321).Ordinal(0x0081).Text(L"").U16(0);
    b.Align().U32(WS_CHILD | SS_ICON).U32(0).U16(5).U16(6).U16(20).U16(20).U16(400);
    b.Ordinal(0x0082).Ordinal(128).U16(4).U16(0xABCD).U16(0x1234);
    b.Align().U32(WS_CHILD).U32(0).U16(7).U16(8).U16(9).U16(10).U16(0xFFFF);
    b.Text(L"SysTabControl32").Text(L"タブ").U16(0);
    // A predefined class written as a name, in capitals as some resource compilers store it.
    b.Align().U32(WS_CHILD | BS_GROUPBOX).U32(0).U16(0).U16(0).U16(50).U16(50).U16(0xFFFF);
    b.Text(L"BUTTON").Text(L"").U16(0);
    return b;
}

TEST(DialogTemplateTest, ReadsClassicTemplate) {
    const Bytes bytes = ClassicTemplate();
    auto dialog = ParseDialogTemplate(bytes.Data().data(), bytes.Data().size());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, DWORD{DS_SETFONT | WS_POPUP | WS_CAPTION});
    EXPECT_EQ(dialog->exStyle, DWORD{WS_EX_TOOLWINDOW});
    EXPECT_EQ(dialog->x, 10);
    EXPECT_EQ(dialog->cy, 100);
    EXPECT_EQ(dialog->menu, L"#308");
    EXPECT_EQ(dialog->windowClass, L"");
    EXPECT_EQ(dialog->caption, L"設定");
    EXPECT_EQ(dialog->fontPointSize, 9);
    EXPECT_EQ(dialog->fontName, L"ＭＳ Ｐゴシック");
    ASSERT_EQ(dialog->controls.size(), 4u);

    const auto& edit = dialog->controls[0];
    EXPECT_EQ(edit.id, 321);
    EXPECT_EQ(edit.className, L"Edit");
    EXPECT_EQ(edit.style, DWORD{WS_CHILD | ES_AUTOHSCROLL});
    EXPECT_EQ(edit.exStyle, DWORD{WS_EX_CLIENTEDGE});
    EXPECT_EQ(edit.x, 1);
    EXPECT_EQ(edit.y, 2);
    EXPECT_EQ(edit.cx, 30);
    EXPECT_EQ(edit.cy, 14);

    const auto& icon = dialog->controls[1];
    EXPECT_EQ(icon.id, 400);
    EXPECT_EQ(icon.className, L"Static");
    EXPECT_EQ(icon.text, L"#128");

    // Found behind the creation data of the icon, so that data was skipped correctly.
    const auto& tab = dialog->controls[2];
    EXPECT_EQ(tab.id, -1);
    EXPECT_EQ(tab.className, L"SysTabControl32");
    EXPECT_EQ(tab.text, L"タブ");
    EXPECT_EQ(tab.cy, 10);
    EXPECT_EQ(dialog->controls[3].className, L"Button");
    EXPECT_EQ(dialog->Find(400), &icon);
    EXPECT_EQ(dialog->Find(999), nullptr);
}

TEST(DialogTemplateTest, TruncatedTemplateIsRefusedAtEveryLength) {
    const Bytes bytes = ClassicTemplate();
    for (std::size_t size = 0; size < bytes.Data().size(); ++size) {
        // A copy of exactly `size` bytes: nothing may be read beyond it.
        std::vector<std::uint8_t> prefix(bytes.Data().begin(), bytes.Data().begin() + size);
        EXPECT_FALSE(ParseDialogTemplate(prefix.data(), prefix.size()).has_value()) << size;
    }
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 0).has_value());
}

TEST(DialogTemplateTest, MissingDialogAndMissingFileGiveNothing) {
    EXPECT_FALSE(LoadDialogTemplate(GetModuleHandleW(nullptr), 32000).has_value());
    ResourceModule missing(L"Z:\\nonexistent\\Nothing.dll");
    EXPECT_FALSE(missing.IsOpen());
}

}  // namespace
}  // namespace marupo::testing
