// Contact slots on the address page: the label menus (opened with the ▼ buttons, driven through
// the popup's own keyboard handling), the radio captions and the primary-contact line.

#include <gtest/gtest.h>

#include <functional>

#include "res/address_page.h"
#include "tests/support/modal_driver.h"
#include "tests/win/address_page_test_frame.h"

namespace marupo {
namespace {

using testing::PageFrame;
using testing::Sjis;

const wchar_t* const kLabelNames[] = {L"会社",   L"自宅", L"Fax",      L"その他",
                                      L"E-Mail", L"代表", L"ポケベル", L"携帯"};
const std::wstring kSuffix = L"は通常使用する連絡先です。";

// Answers the next popup menu of the page once the menu's own loop is idle: notes where it
// opened and which items carry a check mark, then picks the item at `position` with the arrow
// keys and Enter, or dismisses the menu with Esc for a negative position.
class MenuPicker {
  public:
    struct Seen {
        bool shown = false;
        RECT rect{};
        std::vector<UINT> checkedIds;
    };

    MenuPicker() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, HookProc, nullptr, GetCurrentThreadId());
    }
    ~MenuPicker() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    // Opens slot `slot`'s label menu as a click on its ▼ button does and answers it.
    Seen Open(const PageFrame& frame, int slot, int position) {
        seen_ = Seen{};
        position_ = position;
        pending_ = true;
        frame.Click(IDC_ADDR_LABEL_BUTTON0 + slot);  // returns once the menu has closed
        pending_ = false;
        testing::PumpMessages();  // the chosen command arrives after the menu has closed
        return seen_;
    }

  private:
    static BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (wcscmp(className, L"#32768") == 0 && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
        auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ != nullptr && current_->pending_ &&
            sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU) {
            current_->pending_ = false;
            current_->Answer(sent->hwnd);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Answer(HWND owner) {
        HWND menuWindow = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow,
                          reinterpret_cast<LPARAM>(&menuWindow));
        if (menuWindow != nullptr) {
            seen_.shown = true;
            GetWindowRect(menuWindow, &seen_.rect);
            auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0)
                    seen_.checkedIds.push_back(GetMenuItemID(menu, i));
            }
        }
        if (position_ < 0) {
            PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        for (int i = 0; i <= position_; ++i) PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline MenuPicker* current_ = nullptr;
    HHOOK hook_ = nullptr;
    Seen seen_;
    int position_ = -1;
    bool pending_ = false;
};

class AddressPageLabelsTest : public ::testing::Test {
  protected:
    void Open() { ASSERT_TRUE(frame_.Open()); }
    RECT RadioRect(int slot) const {
        RECT rect{};
        GetWindowRect(frame_.Item(IDC_ADDR_PRIMARY_RADIO0 + slot), &rect);
        return rect;
    }
    std::wstring Caption(int slot) const { return frame_.Text(IDC_ADDR_PRIMARY_RADIO0 + slot); }
    std::wstring Line() const { return frame_.Text(IDC_ADDR_PRIMARY_LINE); }

    PageFrame frame_;
    testing::ModalDriver driver_;
    MenuPicker picker_;
};

TEST_F(AddressPageLabelsTest, NewEntryShowsItsStartLabelsAndFirstSlotAsUsualContact) {
    frame_.page.entry.primarySlot = 0;
    frame_.page.entry.customLabels = {Sjis(L"誕生日:"), Sjis(L"趣味:"), Sjis(L"血液型:"),
                                      Sjis(L"メモ:")};
    Open();
    const wchar_t* const captions[] = {L"会社:", L"自宅:", L"Fax:", L"その他:", L"E-Mail:"};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(Caption(slot), captions[slot]);
        EXPECT_EQ(frame_.Checked(IDC_ADDR_PRIMARY_RADIO0 + slot), slot == 0) << slot;
        EXPECT_EQ(Sjis(captions[slot]), frame_.page.RadioCaptions()[static_cast<size_t>(slot)]);
    }
    EXPECT_EQ(Line(), L"「会社」 " + kSuffix);
    EXPECT_EQ(frame_.Text(IDC_ADDR_CUSTOM_LABEL0), L"誕生日:");
    EXPECT_EQ(frame_.Text(IDC_ADDR_CUSTOM_LABEL3), L"メモ:");
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(AddressPageLabelsTest, NoUsualContactChecksNoRadioAndLeavesTheLineEmpty) {
    frame_.page.entry.primarySlot = -1;
    Open();
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_FALSE(frame_.Checked(IDC_ADDR_PRIMARY_RADIO0 + slot)) << slot;
    EXPECT_EQ(Line(), L"");
}

TEST_F(AddressPageLabelsTest, MenuOpensAtTheRadioCornerWithTheSlotsLabelChecked) {
    frame_.page.entry.primarySlot = 0;
    const std::int32_t labels[] = {labelMobile, labelCompany, labelOther, labelEmail, labelPager};
    const UINT checked[] = {32775, 32768, 32776, 32772, 32774};
    for (int slot = 0; slot < 5; ++slot)
        frame_.page.entry.contactSlots[static_cast<size_t>(slot)].labelIndex = labels[slot];
    Open();
    for (int slot = 0; slot < 5; ++slot) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot);
        const RECT radio = RadioRect(slot);
        MenuPicker::Seen seen = picker_.Open(frame_, slot, /*dismiss*/ -1);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.rect.left, radio.right - 10);
        EXPECT_EQ(seen.rect.top, radio.top - 4);
        EXPECT_EQ(seen.checkedIds, std::vector<UINT>{checked[slot]});
        EXPECT_EQ(frame_.page.MenuSlot(), slot);
    }
    // Dismissing changed nothing.
    EXPECT_EQ(Caption(0), L"携帯:");
    EXPECT_EQ(Caption(2), L"その他:");
    EXPECT_EQ(Line(), L"「携帯」 " + kSuffix);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(frame_.page.entry.contactSlots[static_cast<size_t>(slot)].labelIndex,
                  labels[slot]);
}

TEST_F(AddressPageLabelsTest, LabelOutsideTheMenuChecksTheFirstItem) {
    frame_.page.entry.contactSlots[1].labelIndex = 9;  // made up by the host
    Open();
    EXPECT_EQ(Caption(1), L":");
    MenuPicker::Seen seen = picker_.Open(frame_, 1, -1);
    EXPECT_EQ(seen.checkedIds, std::vector<UINT>{32768});
}

TEST_F(AddressPageLabelsTest, EachMenuItemStoresItsLabelValueInTheOpenedSlot) {
    frame_.page.entry.primarySlot = 1;
    Open();
    // Menu order: 会社, 自宅, Fax, その他 (id 32776, value 3), E-Mail, 代表, ポケベル, 携帯.
    for (int position = 0; position < 8; ++position) {
        SCOPED_TRACE(::testing::Message() << "menu position " << position);
        picker_.Open(frame_, 1, position);
        EXPECT_EQ(frame_.page.entry.contactSlots[1].labelIndex, position);
        EXPECT_EQ(Caption(1), std::wstring(kLabelNames[position]) + L":");
        EXPECT_EQ(Line(), L"「" + std::wstring(kLabelNames[position]) + L"」 " + kSuffix);
    }
    // The other slots kept their labels.
    EXPECT_EQ(frame_.page.entry.contactSlots[0].labelIndex, labelCompany);
    EXPECT_EQ(frame_.page.entry.contactSlots[4].labelIndex, labelEmail);
    EXPECT_EQ(Caption(4), L"E-Mail:");
}

TEST_F(AddressPageLabelsTest, MobileInTheUsualSlotRenamesItsRadioAndTheLineAtOnce) {
    frame_.page.entry.primarySlot = 3;
    Open();
    EXPECT_EQ(Line(), L"「その他」 " + kSuffix);
    picker_.Open(frame_, 3, 7);
    EXPECT_EQ(Caption(3), L"携帯:");
    EXPECT_EQ(Line(), L"「携帯」 " + kSuffix);
    EXPECT_TRUE(frame_.Checked(IDC_ADDR_PRIMARY_RADIO3));
}

TEST_F(AddressPageLabelsTest, LabelOfAnotherSlotLeavesTheLineAlone) {
    frame_.page.entry.primarySlot = 0;
    Open();
    picker_.Open(frame_, 2, 6);  // ポケベル in slot 2
    EXPECT_EQ(Caption(2), L"ポケベル:");
    EXPECT_EQ(Line(), L"「会社」 " + kSuffix);
}

TEST_F(AddressPageLabelsTest, ClickingARadioMakesItsSlotTheUsualContact) {
    frame_.page.entry.primarySlot = 0;
    Open();
    const wchar_t* const lines[] = {L"会社", L"自宅", L"Fax", L"その他", L"E-Mail"};
    for (int slot : {2, 4, 1, 3, 0}) {
        frame_.Click(IDC_ADDR_PRIMARY_RADIO0 + slot);
        EXPECT_EQ(frame_.page.entry.primarySlot, slot);
        EXPECT_EQ(Line(), L"「" + std::wstring(lines[slot]) + L"」 " + kSuffix);
        for (int other = 0; other < 5; ++other)
            EXPECT_EQ(frame_.Checked(IDC_ADDR_PRIMARY_RADIO0 + other), other == slot);
    }
}

TEST_F(AddressPageLabelsTest, CommandWithoutALabelChangesNothing) {
    frame_.page.entry.primarySlot = 0;
    Open();
    SendMessageW(frame_.page.Handle(), WM_COMMAND, MAKEWPARAM(32771, 0), 0);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(frame_.page.entry.contactSlots[static_cast<size_t>(slot)].labelIndex, slot);
    EXPECT_EQ(Caption(0), L"会社:");
    // A label command from elsewhere applies to the slot whose menu was opened last.
    picker_.Open(frame_, 4, -1);
    SendMessageW(frame_.page.Handle(), WM_COMMAND, MAKEWPARAM(32776, 0), 0);
    EXPECT_EQ(frame_.page.entry.contactSlots[4].labelIndex, labelOther);
    EXPECT_EQ(Caption(4), L"その他:");
}

}  // namespace
}  // namespace marupo
