// The data-exchange pass, on a real dialog driven inside its own modal loop.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/modal_driver.h"
#include "tests/win/ui_test_ids.h"
#include "ui/dialog.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

using testing::ModalDriver;

// Shift-JIS "山" (0x8E 0x52): one double-byte character.
std::string DoubleByte(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += "\x8E\x52";
    return text;
}

struct Form : ui::Dialog {
    Form() : Dialog(IDD_UI_FORM) {}

    std::string name = "name";      // limit 255
    std::string shortText = "abc";  // limit 10
    std::string freeText = "free";  // no limit
    std::string label = "label";
    int check = BST_UNCHECKED;
    int radio = -1;
    int second = 1;

    void ExchangeData(ui::DataExchange& dx) override {
        dx.Text(IDC_UI_NAME, name, 255);
        dx.Text(IDC_UI_SHORT, shortText, 10);
        dx.Text(IDC_UI_FREE, freeText);
        dx.Text(IDC_UI_LABEL, label, 20);
        dx.Check(IDC_UI_CHECK, check);
        dx.Radio(IDC_UI_RADIO_A, radio);
        dx.Radio(IDC_UI_RADIO_X, second);
    }
};

class DataExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::SetAddinModule(GetModuleHandleW(nullptr)); }

    // Runs `form` modally, hands its window to `body`, then cancels it.
    void Run(Form& form, const std::function<void(HWND)>& body) {
        driver.OnNextDialog([&](HWND dialog) {
            body(dialog);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(form.DoModal(), IDCANCEL);
        EXPECT_EQ(driver.UnhandledDialogs(), 0);
    }

    static std::string Text(HWND dialog, int id) {
        return ui::WindowTextAnsi(GetDlgItem(dialog, id));
    }
    static void SetText(HWND dialog, int id, const std::string& text) {
        ui::SetWindowTextAnsi(GetDlgItem(dialog, id), text);
    }
    static bool Checked(HWND dialog, int id) {
        return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static std::pair<DWORD, DWORD> Selection(HWND dialog, int id) {
        DWORD start = 0, end = 0;
        SendDlgItemMessageA(dialog, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                            reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    ModalDriver driver;
};

TEST_F(DataExchangeTest, InitialisationShowsMembersInControls) {
    Form form;
    form.check = BST_CHECKED;
    form.radio = 2;
    form.second = 0;
    form.name = DoubleByte(3);
    Run(form, [](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_UI_NAME), DoubleByte(3));
        EXPECT_EQ(Text(dialog, IDC_UI_SHORT), "abc");
        EXPECT_EQ(Text(dialog, IDC_UI_FREE), "free");
        EXPECT_EQ(Text(dialog, IDC_UI_LABEL), "label");
        EXPECT_TRUE(Checked(dialog, IDC_UI_CHECK));
        EXPECT_FALSE(Checked(dialog, IDC_UI_RADIO_A));
        EXPECT_FALSE(Checked(dialog, IDC_UI_RADIO_B));
        EXPECT_TRUE(Checked(dialog, IDC_UI_RADIO_C));
        EXPECT_TRUE(Checked(dialog, IDC_UI_RADIO_X));
        EXPECT_FALSE(Checked(dialog, IDC_UI_RADIO_Y));
    });
}

TEST_F(DataExchangeTest, LimitedEditsGetTheirTypingLimitInBytes) {
    Form form;
    Run(form, [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_UI_NAME, EM_GETLIMITTEXT, 0, 0), 255);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_UI_SHORT, EM_GETLIMITTEXT, 0, 0), 10);
        // Without a limit the edit keeps the control's own default.
        EXPECT_GT(SendDlgItemMessageA(dialog, IDC_UI_FREE, EM_GETLIMITTEXT, 0, 0), 255);
        // The limit counts bytes only in an ANSI edit.
        EXPECT_FALSE(IsWindowUnicode(GetDlgItem(dialog, IDC_UI_NAME)));
    });
}

TEST_F(DataExchangeTest, SameTextKeepsCaretAndSelectionDifferentTextIsReplaced) {
    Form form;
    form.name = "abcdef";
    Run(form, [&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_UI_NAME);
        SendMessageA(edit, EM_SETSEL, 2, 4);
        ASSERT_TRUE(form.UpdateData(false));
        EXPECT_EQ(Selection(dialog, IDC_UI_NAME), std::make_pair(DWORD{2}, DWORD{4}));

        // An undo buffer shows whether the control was rewritten at all.
        SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        ASSERT_TRUE(form.UpdateData(false));
        EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));

        form.name = "abcxyz";
        ASSERT_TRUE(form.UpdateData(false));
        EXPECT_EQ(Text(dialog, IDC_UI_NAME), "abcxyz");
        EXPECT_EQ(Selection(dialog, IDC_UI_NAME), std::make_pair(DWORD{0}, DWORD{0}));
    });
}

TEST_F(DataExchangeTest, FromControlsTakesEveryField) {
    Form form;
    Run(form, [&](HWND dialog) {
        SetText(dialog, IDC_UI_NAME, DoubleByte(127));  // 254 bytes: fits 255
        SetText(dialog, IDC_UI_SHORT, "0123456789");    // exactly the limit
        SetText(dialog, IDC_UI_FREE, std::string(300, 'f'));
        SetText(dialog, IDC_UI_LABEL, "shown");
        SendDlgItemMessageW(dialog, IDC_UI_CHECK, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageW(dialog, IDC_UI_RADIO_B, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageW(dialog, IDC_UI_RADIO_Y, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_TRUE(form.UpdateData(true));
    });
    EXPECT_EQ(form.name, DoubleByte(127));
    EXPECT_EQ(form.shortText, "0123456789");
    EXPECT_EQ(form.freeText, std::string(300, 'f'));
    EXPECT_EQ(form.label, "shown");
    EXPECT_EQ(form.check, BST_CHECKED);
    EXPECT_EQ(form.radio, 1);
    EXPECT_EQ(form.second, -1);  // none checked
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(DataExchangeTest, OverLongDoubleByteTextIsRefusedAndStopsThePass) {
    Form form;
    form.name = "old name";
    Run(form, [&](HWND dialog) {
        SetText(dialog, IDC_UI_NAME, DoubleByte(128));  // 256 bytes, 128 characters
        SetText(dialog, IDC_UI_SHORT, "changed");
        SetText(dialog, IDC_UI_FREE, "changed");
        SendDlgItemMessageW(dialog, IDC_UI_CHECK, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageW(dialog, IDC_UI_RADIO_A, BM_SETCHECK, BST_CHECKED, 0);
        SetFocus(GetDlgItem(dialog, IDC_UI_FREE));

        EXPECT_FALSE(form.UpdateData(true));

        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text, L"255 文字以内で入力してください。");
        EXPECT_TRUE(driver.MessageBoxes()[0].exclamationIcon);
        EXPECT_TRUE(driver.MessageBoxes()[0].onlyOkButton);
        EXPECT_EQ(driver.MessageBoxes()[0].owner, dialog);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_UI_NAME));
        auto [start, end] = Selection(dialog, IDC_UI_NAME);
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(GetDlgItem(dialog, IDC_UI_NAME))));
        // The control keeps what the user typed, so that it can be corrected.
        EXPECT_EQ(Text(dialog, IDC_UI_NAME), DoubleByte(128));
    });
    EXPECT_EQ(form.name, "old name");
    EXPECT_EQ(form.shortText, "abc");
    EXPECT_EQ(form.freeText, "free");
    EXPECT_EQ(form.check, BST_UNCHECKED);
    EXPECT_EQ(form.radio, -1);
    EXPECT_EQ(form.second, 1);
}

TEST_F(DataExchangeTest, RefusalLaterInTheOrderKeepsEarlierFields) {
    struct Case {
        const char* name;
        std::string shortText;
        bool accepted;
    };
    const Case cases[] = {
        {"ten single bytes", "0123456789", true},
        {"eleven single bytes", "0123456789a", false},
        {"five double bytes", DoubleByte(5), true},
        {"five double bytes and one", DoubleByte(5) + "a", false},
        {"empty", "", true},
    };
    Form form;
    Run(form, [&](HWND dialog) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            driver.Clear();
            form.name = form.shortText = form.freeText = "old";
            SetText(dialog, IDC_UI_NAME, "first");
            SetText(dialog, IDC_UI_SHORT, c.shortText);
            SetText(dialog, IDC_UI_FREE, "third");
            SetFocus(GetDlgItem(dialog, IDOK));
            EXPECT_EQ(form.UpdateData(true), c.accepted);
            EXPECT_EQ(form.name, "first");
            EXPECT_EQ(form.shortText, c.accepted ? c.shortText : "old");
            EXPECT_EQ(form.freeText, c.accepted ? "third" : "old");
            if (c.accepted) {
                EXPECT_TRUE(driver.MessageBoxes().empty());
                EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
            } else {
                ASSERT_EQ(driver.MessageBoxes().size(), 1u);
                EXPECT_EQ(driver.MessageBoxes()[0].text, L"10 文字以内で入力してください。");
                EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_UI_SHORT));
            }
        }
    });
}

// The same controls listed in another order: the pass follows the listing, not the template.
struct Reordered : Form {
    void ExchangeData(ui::DataExchange& dx) override {
        dx.Text(IDC_UI_FREE, freeText);
        dx.Text(IDC_UI_SHORT, shortText, 10);
        dx.Text(IDC_UI_NAME, name, 255);
    }
};

TEST_F(DataExchangeTest, PassFollowsTheDialogsOwnOrder) {
    Reordered form;
    Run(form, [&](HWND dialog) {
        SetText(dialog, IDC_UI_NAME, "first in the template");
        SetText(dialog, IDC_UI_SHORT, "far too long for ten");
        SetText(dialog, IDC_UI_FREE, "listed first");
        EXPECT_FALSE(form.UpdateData(true));
    });
    EXPECT_EQ(form.freeText, "listed first");
    EXPECT_EQ(form.shortText, "abc");
    EXPECT_EQ(form.name, "name");
}

TEST_F(DataExchangeTest, StaticTextIsExchangedAndCheckedLikeAnEdit) {
    Form form;
    form.label = "before";
    Run(form, [&](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_UI_LABEL), "before");
        SetText(dialog, IDC_UI_LABEL, std::string(21, 's'));
        EXPECT_FALSE(form.UpdateData(true));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_UI_LABEL));
    });
    EXPECT_EQ(form.label, "before");
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, L"20 文字以内で入力してください。");
}

TEST_F(DataExchangeTest, RadioGroupIndexBothWays) {
    // Towards the controls exactly one button (or none) is checked; back, the index is read.
    const int indexes[] = {1, -1, 0, 2, 3, -7};
    Form form;
    Run(form, [&](HWND dialog) {
        for (int index : indexes) {
            SCOPED_TRACE(index);
            form.radio = index;
            ASSERT_TRUE(form.UpdateData(false));
            EXPECT_EQ(Checked(dialog, IDC_UI_RADIO_A), index == 0);
            EXPECT_EQ(Checked(dialog, IDC_UI_RADIO_B), index == 1);
            EXPECT_EQ(Checked(dialog, IDC_UI_RADIO_C), index == 2);
            // The group ends at the next WS_GROUP control: the second group is not touched.
            EXPECT_TRUE(Checked(dialog, IDC_UI_RADIO_Y));
            form.radio = 99;
            EXPECT_TRUE(form.UpdateData(true));
            EXPECT_EQ(form.radio, index >= 0 && index <= 2 ? index : -1);
        }
    });
}

TEST_F(DataExchangeTest, RadioGroupFollowsClicks) {
    Form form;
    Run(form, [&](HWND dialog) {
        ModalDriver::Click(dialog, IDC_UI_RADIO_C);
        EXPECT_TRUE(form.UpdateData(true));
        EXPECT_EQ(form.radio, 2);
        ModalDriver::Click(dialog, IDC_UI_RADIO_A);
        EXPECT_TRUE(form.UpdateData(true));
        EXPECT_EQ(form.radio, 0);
        EXPECT_FALSE(Checked(dialog, IDC_UI_RADIO_C));
    });
}

TEST_F(DataExchangeTest, OkEndsOnlyWhenTheExchangeSucceeds) {
    Form form;
    driver.OnNextDialog([&](HWND dialog) {
        SetText(dialog, IDC_UI_SHORT, "far too long");
        ModalDriver::Click(dialog, IDOK);
        // Refused: the dialog is still running, the message was shown.
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(driver.MessageBoxes().size(), 1u);
        SetText(dialog, IDC_UI_SHORT, "short");
        ModalDriver::Click(dialog, IDOK);
    });
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(form.shortText, "short");
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
}

TEST_F(DataExchangeTest, CancelTransfersNothing) {
    Form form;
    driver.OnNextDialog([&](HWND dialog) {
        SetText(dialog, IDC_UI_NAME, "typed");
        ModalDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(form.name, "name");
}

TEST_F(DataExchangeTest, LengthMessageNamesTheLimit) {
    EXPECT_EQ(ui::LengthMessage(255), L"255 文字以内で入力してください。");
    EXPECT_EQ(ui::LengthMessage(4095), L"4095 文字以内で入力してください。");
}

TEST_F(DataExchangeTest, UpdateDataWithoutWindowFails) {
    Form form;
    EXPECT_FALSE(form.UpdateData(true));
    EXPECT_FALSE(form.UpdateData(false));
}

}  // namespace
}  // namespace marupo
