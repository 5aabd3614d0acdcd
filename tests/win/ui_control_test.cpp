// Control objects bound through the data exchange, and controls subclassed by our own objects.
#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>

#include <string>
#include <vector>

#include "tests/support/modal_driver.h"
#include "tests/win/ui_test_ids.h"
#include "ui/control.h"
#include "ui/dialog.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

using testing::ModalDriver;

constexpr UINT kCaptured = WM_USER + 301;

// Tells its owner about every committed composition before the edit itself sees it, and keeps
// the letter 'x' from the edit.
class SpyEdit : public ui::SubclassedControl {
  public:
    std::vector<std::string>* log = nullptr;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTREADSTR) != 0) {
            log->push_back("composition, edit holds \"" + Text() + "\"");
            SendMessageA(GetParent(Handle()), kCaptured, 1, 0);
        }
        if (message == WM_CHAR && wParam == 'x') return 0;
        return DefaultProc(message, wParam, lParam);
    }
};

struct Form : ui::Dialog {
    Form() : Dialog(IDD_UI_FORM) {
        OnMessage(kCaptured, &Form::OnCaptured);
        edit.log = &log;
    }
    void ExchangeData(ui::DataExchange& dx) override {
        dx.Text(IDC_UI_NAME, name);
        dx.Bind(IDC_UI_NAME, edit);
        dx.Bind(IDC_UI_RADIO_B, radio);
        dx.Bind(IDC_UI_CHECK, check);
    }
    LRESULT OnCaptured(WPARAM target, LPARAM) {
        UpdateData(true);
        log.push_back("captured " + std::to_string(target) + ", field \"" + name + "\"");
        return 0;
    }

    std::string name;
    SpyEdit edit;
    ui::Control radio;
    ui::Control check;
    std::vector<std::string> log;
};

class ControlTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::SetAddinModule(GetModuleHandleW(nullptr)); }
    ModalDriver driver;
};

TEST_F(ControlTest, SubclassedEditSeesItsMessagesFirstAndPassesTheRestOn) {
    Form form;
    HWND bound = nullptr;
    driver.OnNextDialog([&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_UI_NAME);
        bound = form.edit.Handle();
        SendMessageA(edit, WM_CHAR, 'a', 0);
        SendMessageA(edit, WM_CHAR, 'x', 0);
        SendMessageA(edit, WM_CHAR, 'b', 0);
        // A composition without reading information is only passed on.
        SendMessageA(edit, WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
        SendMessageA(edit, WM_IME_COMPOSITION, 0, GCS_RESULTSTR | GCS_RESULTREADSTR);
        form.log.push_back("after, edit holds \"" + ui::WindowTextAnsi(edit) + "\"");
        ModalDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_NE(bound, nullptr);
    // The owner handled the notification synchronously, before the edit went on.
    EXPECT_EQ(form.log,
              (std::vector<std::string>{"composition, edit holds \"ab\"",
                                        "captured 1, field \"ab\"", "after, edit holds \"ab\""}));
    // The window is gone: the object let go of it.
    EXPECT_EQ(form.edit.Handle(), nullptr);
}

TEST_F(ControlTest, EachObjectHooksAndUnhooksOnlyItself) {
    Form form;
    driver.OnNextDialog([&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_UI_NAME);
        {
            std::vector<std::string> log;
            SpyEdit second;
            second.log = &log;
            EXPECT_TRUE(second.Attach(edit));
            SendMessageA(edit, WM_IME_COMPOSITION, 0, GCS_RESULTREADSTR);
            EXPECT_EQ(log.size(), 1u);
        }
        // Both objects saw the composition (each told the form); the form's own object is still
        // there after the other left.
        EXPECT_EQ(form.log.size(), 3u);
        SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_EQ(ui::WindowTextAnsi(edit), "");
        SendMessageA(edit, WM_IME_COMPOSITION, 0, GCS_RESULTREADSTR);
        EXPECT_EQ(form.log.size(), 5u);

        // Detached, the edit behaves as its own class again.
        EXPECT_EQ(form.edit.Detach(), edit);
        SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_EQ(ui::WindowTextAnsi(edit), "x");
        SendMessageA(edit, WM_IME_COMPOSITION, 0, GCS_RESULTREADSTR);
        EXPECT_EQ(form.log.size(), 5u);
        ModalDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
}

TEST_F(ControlTest, BoundControlsGiveEnablingCaptionsAndChecks) {
    Form form;
    driver.OnNextDialog([&](HWND dialog) {
        ASSERT_EQ(form.radio.Handle(), GetDlgItem(dialog, IDC_UI_RADIO_B));
        form.radio.SetText("\x8C\x67\x91\xD1:");  // 携帯:
        EXPECT_EQ(ModalDriver::ControlText(dialog, IDC_UI_RADIO_B), L"携帯:");
        EXPECT_EQ(form.radio.Text(), "\x8C\x67\x91\xD1:");
        form.radio.Enable(false);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_UI_RADIO_B)));
        form.check.SetCheckState(BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_UI_CHECK, BM_GETCHECK, 0, 0), BST_CHECKED);
        ModalDriver::Click(dialog, IDC_UI_CHECK);
        EXPECT_EQ(form.check.CheckState(), BST_UNCHECKED);
        // Binding again in a later pass keeps the same window; another window is refused.
        EXPECT_TRUE(form.UpdateData(false));
        EXPECT_EQ(form.radio.Handle(), GetDlgItem(dialog, IDC_UI_RADIO_B));
        EXPECT_FALSE(form.radio.Attach(GetDlgItem(dialog, IDC_UI_RADIO_A)));
        RECT expected{};
        GetWindowRect(GetDlgItem(dialog, IDC_UI_RADIO_B), &expected);
        RECT rect = form.radio.WindowRect();
        EXPECT_TRUE(EqualRect(&rect, &expected));
        ModalDriver::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
}

TEST(WindowTextTest, AnsiTextsRoundTripThroughWindowsAndConversions) {
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const std::string yamada = "\x8E\x52\x93\x63";  // 山田
    ui::SetWindowTextAnsi(edit, yamada);
    EXPECT_EQ(ui::WindowTextAnsi(edit), yamada);
    EXPECT_FALSE(ui::SetWindowTextAnsiIfDifferent(edit, yamada));
    EXPECT_TRUE(ui::SetWindowTextAnsiIfDifferent(edit, "abc"));
    EXPECT_EQ(ui::WindowTextAnsi(edit), "abc");
    ui::SetWindowTextAnsi(edit, "");
    EXPECT_EQ(ui::WindowTextAnsi(edit), "");
    EXPECT_EQ(ui::WindowTextAnsi(nullptr), "");
    DestroyWindow(edit);

    EXPECT_EQ(ui::AnsiToWide(yamada), L"山田");
    EXPECT_EQ(ui::WideToAnsi(L"山田"), yamada);
    EXPECT_EQ(ui::AnsiToWide(""), L"");
    EXPECT_EQ(ui::WideToAnsi(L"ｶﾅ"), "\xB6\xC5");  // half-width katakana: one byte each
}

}  // namespace
}  // namespace marupo
