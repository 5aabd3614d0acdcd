// Dialogs: handler maps, message routing, modal runs and their owner, child pages, resources.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/modal_driver.h"
#include "tests/win/ui_test_ids.h"
#include "ui/dialog.h"
#include "ui/module_state.h"
#include "ui/resources.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

using testing::ModalDriver;

constexpr UINT kPrivateMessage = WM_USER + 301;
constexpr UINT kListNotification = 77;

// A top-level window of the test's own, standing in for the host's main window.
class TopWindow {
  public:
    explicit TopWindow(RECT rect, DWORD style = WS_OVERLAPPEDWINDOW, HWND owner = nullptr) {
        static ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"UiTestTop";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        window_ = CreateWindowExW(0, L"UiTestTop", L"top", style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    ~TopWindow() {
        if (IsWindow(window_)) DestroyWindow(window_);
    }
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;
    HWND get() const { return window_; }

    void Activate() {
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
    }

  private:
    HWND window_ = nullptr;
};

POINT Center(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

struct Handlers : ui::Dialog {
    Handlers() : Dialog(IDD_UI_FORM) {
        OnCommand(IDC_UI_ACT, BN_CLICKED, &Handlers::Act);
        OnCommandRange(IDC_UI_RADIO_A, IDC_UI_RADIO_C, BN_CLICKED, &Handlers::Radio);
        OnCommandRange(32768, 32776, 0, &Handlers::Menu);
        OnCommandRange(32770, 32770, 0, &Handlers::Shadowed);  // the range above comes first
        OnMessage(kPrivateMessage, &Handlers::Private);
        OnNotify(IDC_UI_FREE, kListNotification, &Handlers::Notified);
    }

    void Act() { log.push_back("act"); }
    void Radio(int id) { log.push_back("radio " + std::to_string(id)); }
    void Menu(int id) { log.push_back("menu " + std::to_string(id)); }
    void Shadowed(int) { log.push_back("shadowed"); }
    LRESULT Private(WPARAM wParam, LPARAM lParam) {
        log.push_back("private " + std::to_string(wParam) + " " + std::to_string(lParam));
        return 1000 + static_cast<LRESULT>(wParam);
    }
    LRESULT Notified(NMHDR* header) {
        log.push_back("notify " + std::to_string(header->idFrom));
        return 55;
    }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        // A system-menu item of our own; every other system command keeps its default handling.
        if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != 0x20) return false;
        log.push_back("settings");
        result = 0;
        return true;
    }

    std::vector<std::string> log;
};

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::SetAddinModule(GetModuleHandleW(nullptr)); }
    ModalDriver driver;
};

TEST_F(DialogTest, CommandsReachTheirHandlersByIdAndCode) {
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        ModalDriver::Click(window, IDC_UI_ACT);
        ModalDriver::Click(window, IDC_UI_RADIO_B);
        ModalDriver::Click(window, IDC_UI_RADIO_C);
        // The edit's own notifications have no handler and change nothing.
        ui::SetWindowTextAnsi(GetDlgItem(window, IDC_UI_FREE), "typed");
        // A click code from another control id in no range.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_UI_RADIO_X, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_UI_RADIO_X)));
        // Another notification code of a mapped control does not match the click handler.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_UI_ACT, BN_SETFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_UI_ACT)));
        ModalDriver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"act", "radio 1011", "radio 1012"}));
}

TEST_F(DialogTest, MenuRangesPrivateMessagesAndNotificationsAreRouted) {
    Handlers dialog;
    std::vector<LRESULT> results;
    driver.OnNextDialog([&](HWND window) {
        for (int id : {32767, 32768, 32770, 32771, 32776, 32777})
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        results.push_back(SendMessageW(window, kPrivateMessage, 2, 0));
        NMHDR header{GetDlgItem(window, IDC_UI_FREE), IDC_UI_FREE, kListNotification};
        results.push_back(
            SendMessageW(window, WM_NOTIFY, IDC_UI_FREE, reinterpret_cast<LPARAM>(&header)));
        NMHDR other{GetDlgItem(window, IDC_UI_FREE), IDC_UI_FREE, kListNotification + 1};
        results.push_back(
            SendMessageW(window, WM_NOTIFY, IDC_UI_FREE, reinterpret_cast<LPARAM>(&other)));
        ModalDriver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"menu 32768", "menu 32770", "menu 32771",
                                                    "menu 32776", "private 2 0", "notify 1003"}));
    EXPECT_EQ(results, (std::vector<LRESULT>{1002, 55, 0}));
}

TEST_F(DialogTest, OtherMessagesCanBeTakenOrLeftToTheDefault) {
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, 0x20, 0), 0);
        // The close box: default handling, which cancels the dialog.
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"settings"}));
}

TEST_F(DialogTest, EscapeCancels) {
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        HWND edit = GetDlgItem(window, IDC_UI_NAME);
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, ModalWithoutParentIsOwnedByTheActiveWindowDisabledAndCentredOnIt) {
    TopWindow host({100, 80, 900, 680});
    host.Activate();
    ASSERT_EQ(GetActiveWindow(), host.get());
    Handlers dialog;
    bool ran = false;
    driver.OnNextDialog([&](HWND window) {
        ran = true;
        EXPECT_EQ(GetWindow(window, GW_OWNER), host.get());
        EXPECT_FALSE(IsWindowEnabled(host.get()));
        POINT dialogCenter = Center(window), hostCenter = Center(host.get());
        EXPECT_NEAR(dialogCenter.x, hostCenter.x, 1);
        EXPECT_NEAR(dialogCenter.y, hostCenter.y, 1);
        ModalDriver::Click(window, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(IsWindowEnabled(host.get()));
}

TEST_F(DialogTest, OwnedPopupOwnsTheDialogAndItsTopLevelWindowIsDisabledToo) {
    TopWindow host({0, 0, 1000, 800});
    host.Activate();
    TopWindow popup({600, 500, 900, 700}, WS_POPUP | WS_CAPTION, host.get());
    popup.Activate();
    ASSERT_EQ(GetActiveWindow(), popup.get());
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        EXPECT_EQ(GetWindow(window, GW_OWNER), popup.get());
        EXPECT_FALSE(IsWindowEnabled(popup.get()));
        EXPECT_FALSE(IsWindowEnabled(host.get()));
        ModalDriver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(popup.get()));
    EXPECT_TRUE(IsWindowEnabled(host.get()));
}

TEST_F(DialogTest, WithoutActiveWindowTheThreadsMainWindowOwnsTheDialog) {
    TopWindow host({200, 100, 700, 500});
    ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    if (HWND active = GetActiveWindow(); active != nullptr && active != host.get())
        SetActiveWindow(host.get());
    // Hand activation away from the thread: nothing of ours is active any more.
    SetActiveWindow(nullptr);
    EXPECT_EQ(ui::DefaultOwner(), host.get());
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        EXPECT_EQ(GetWindow(window, GW_OWNER), host.get());
        EXPECT_FALSE(IsWindowEnabled(host.get()));
        ModalDriver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(host.get()));
}

TEST_F(DialogTest, AChildWindowAsOwnerIsLiftedToItsTopLevelWindow) {
    TopWindow host({100, 100, 700, 500});
    host.Activate();
    HWND child = CreateWindowExW(0, L"BUTTON", L"child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20,
                                 host.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        EXPECT_EQ(GetWindow(window, GW_OWNER), host.get());
        ModalDriver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(child), IDCANCEL);
}

struct Page : ui::Dialog {
    Page() : Dialog(IDD_UI_PAGE) { OnCommand(IDC_UI_PAGE_ACT, BN_CLICKED, &Page::Act); }
    void ExchangeData(ui::DataExchange& dx) override { dx.Text(IDC_UI_PAGE_EDIT, text, 30); }
    bool OnInitDialog() override {
        ++initialised;
        return Dialog::OnInitDialog();
    }
    void Act() {
        ++clicks;
        UpdateData(true);
    }
    std::string text = "page text";
    int initialised = 0;
    int clicks = 0;
};

TEST_F(DialogTest, ChildPageIsCreatedHiddenInsideItsParentAndHandlesItsControls) {
    TopWindow host({100, 100, 700, 500});
    host.Activate();
    Page page;
    ASSERT_TRUE(page.Create(host.get()));
    HWND window = page.Handle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), host.get());
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(page.initialised, 1);
    EXPECT_EQ(ui::WindowTextAnsi(GetDlgItem(window, IDC_UI_PAGE_EDIT)), "page text");
    EXPECT_EQ(SendDlgItemMessageA(window, IDC_UI_PAGE_EDIT, EM_GETLIMITTEXT, 0, 0), 30);
    // The template's position, in dialog units, inside the parent's client area.
    RECT units{8, 22, 0, 0};
    MapDialogRect(window, &units);
    POINT origin{0, 0};
    MapWindowPoints(window, host.get(), &origin, 1);
    EXPECT_EQ(origin.x, units.left);
    EXPECT_EQ(origin.y, units.top);

    page.Show(true);
    EXPECT_TRUE(IsWindowVisible(window));
    ui::SetWindowTextAnsi(GetDlgItem(window, IDC_UI_PAGE_EDIT), "edited");
    ModalDriver::Click(window, IDC_UI_PAGE_ACT);
    EXPECT_EQ(page.clicks, 1);
    EXPECT_EQ(page.text, "edited");
    page.Show(false);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(ui::WindowTextAnsi(GetDlgItem(window, IDC_UI_PAGE_EDIT)), "edited");  // hidden, kept
    // Creating twice is refused; the page is gone with its parent.
    EXPECT_FALSE(page.Create(host.get()));
    DestroyWindow(host.get());
    EXPECT_EQ(page.Handle(), nullptr);
    EXPECT_EQ(driver.UnhandledDialogs(), 0);
}

TEST_F(DialogTest, DestroyingThePageObjectDestroysItsWindow) {
    TopWindow host({100, 100, 700, 500});
    HWND window = nullptr;
    {
        Page page;
        ASSERT_TRUE(page.Create(host.get()));
        window = page.Handle();
        EXPECT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

struct ThrowingInit : Handlers {
    bool OnInitDialog() override { throw std::runtime_error("init failed"); }
};

struct ThrowingPage : ui::Dialog {
    ThrowingPage() : Dialog(IDD_UI_PAGE) {
        OnCommand(IDC_UI_PAGE_ACT, BN_CLICKED, &ThrowingPage::Fail);
    }
    void Fail() { throw std::runtime_error("page failed"); }
};

// A frame holding a page, as the editor holds its pages.
struct Frame : Handlers {
    bool OnInitDialog() override {
        Handlers::OnInitDialog();
        page.Create(Handle());
        page.Show(true);
        return true;
    }
    ThrowingPage page;
};

std::string ThrownBy(const std::function<void()>& run) {
    try {
        run();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "nothing thrown";
}

TEST_F(DialogTest, ExceptionsFromHandlersEndTheRunAndReachTheCaller) {
    TopWindow host({100, 100, 700, 500});
    host.Activate();

    ThrowingInit failsAtStart;
    EXPECT_EQ(ThrownBy([&] { failsAtStart.DoModal(); }), "init failed");
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(failsAtStart.Handle(), nullptr);

    Frame frame;
    driver.OnNextDialog([&](HWND) { ModalDriver::Click(frame.page.Handle(), IDC_UI_PAGE_ACT); });
    EXPECT_EQ(ThrownBy([&] { frame.DoModal(); }), "page failed");
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(frame.Handle(), nullptr);
    EXPECT_EQ(frame.page.Handle(), nullptr);

    // Nothing is left over for the next run.
    Handlers next;
    driver.OnNextDialog([](HWND window) { ModalDriver::Click(window, IDOK); });
    EXPECT_EQ(next.DoModal(), IDOK);
}

// A dialog template built in memory: caption "mem" and one OK button.
std::vector<WORD> MemoryTemplate() {
    std::vector<WORD> t;
    auto dword = [&t](DWORD value) {
        t.push_back(LOWORD(value));
        t.push_back(HIWORD(value));
    };
    dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    dword(0);
    t.insert(t.end(), {1, 0, 0, 100, 50, 0, 0});  // items, x, y, cx, cy, no menu, default class
    t.insert(t.end(), {'m', 'e', 'm', 0});
    if (t.size() % 2 != 0) t.push_back(0);  // items start on a DWORD boundary
    dword(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON);
    dword(0);
    t.insert(t.end(), {10, 10, 40, 14, IDOK, 0xFFFF, 0x0080, 'O', 'K', 0, 0});
    return t;
}

TEST_F(DialogTest, DialogFromMemoryTemplate) {
    std::vector<WORD> bytes = MemoryTemplate();
    ui::Dialog dialog(reinterpret_cast<const DLGTEMPLATE*>(bytes.data()));
    std::wstring caption;
    driver.OnNextDialog([&](HWND window) {
        caption = ModalDriver::Text(window);
        ModalDriver::Click(window, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(caption, L"mem");
}

TEST_F(DialogTest, TemplatesAndMenusComeFromTheCurrentModule) {
    HINSTANCE exe = GetModuleHandleW(nullptr);
    ui::SetAddinModule(GetModuleHandleW(L"user32.dll"));
    {
        ui::AddinModuleScope scope;
        Handlers elsewhere;
        EXPECT_EQ(elsewhere.DoModal(), -1);  // user32 has no such template
        EXPECT_FALSE(ui::PopupMenu(IDM_UI_POPUP).Loaded());
    }
    ui::SetAddinModule(exe);
    ui::AddinModuleScope scope;
    EXPECT_TRUE(ui::PopupMenu(IDM_UI_POPUP).Loaded());
    Handlers here;
    driver.OnNextDialog([](HWND window) { ModalDriver::Click(window, IDCANCEL); });
    EXPECT_EQ(here.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, PopupMenuChecksItemsAndDeliversTheChosenCommand) {
    ui::PopupMenu menu(IDM_UI_POPUP);
    ASSERT_TRUE(menu.Loaded());
    EXPECT_EQ(GetMenuItemCount(menu.Handle()), 3);
    const auto checked = [&menu](UINT id) {
        const UINT state = GetMenuState(menu.Handle(), id, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
    };
    menu.CheckItem(32769, true);
    EXPECT_TRUE(checked(32769));
    EXPECT_FALSE(checked(32768));
    menu.CheckItem(32769, false);
    EXPECT_FALSE(checked(32769));

    Handlers dialog;
    driver.OnNextDialog([&](HWND window) {
        RECT rect{};
        GetWindowRect(GetDlgItem(window, IDC_UI_RADIO_A), &rect);
        // The keys wait in the queue for the menu's own loop: second item, then Enter.
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(menu.Track(window, rect.right - 10, rect.top - 4));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"menu 32769"}));
}

TEST_F(DialogTest, IconsCursorsAndBitmapsComeFromTheCurrentModule) {
    // user32 carries the system's own images; the test program carries none of these ids.
    const UINT icon = 32512, cursor = 32512, bitmap = 32754;
    {
        ui::AddinModuleScope scope;
        EXPECT_FALSE(ui::LoadIconResource(icon));
        EXPECT_FALSE(ui::LoadCursorResource(cursor));
        EXPECT_FALSE(ui::LoadBitmapResource(bitmap));
    }
    HINSTANCE exe = GetModuleHandleW(nullptr);
    ui::SetAddinModule(GetModuleHandleW(L"user32.dll"));
    {
        ui::AddinModuleScope scope;
        win::UniqueIcon small = ui::LoadIconResource(icon, 16);
        ASSERT_TRUE(small);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(small.Get(), &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 16);
        if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        EXPECT_TRUE(ui::LoadCursorResource(cursor));
        EXPECT_TRUE(ui::LoadBitmapResource(bitmap));
    }
    ui::SetAddinModule(exe);
}

}  // namespace
}  // namespace marupo
