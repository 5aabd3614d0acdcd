#pragma once
// A top-level window hosting the address page as the editor frame does, plus what the address
// page tests share: a reading source fed by the test, message pumping, texts in UTF-16.

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "editor/address_page.h"
#include "editor/ime_reading_source.h"
#include "tests/support/sjis_text.h"
#include "ui/message_pump.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo::testing {

// Readings handed out one per commit, in order; records every edit that asked.
class FedReadingSource final : public editor::ImeReadingSource {
  public:
    void Feed(const std::string& reading) { readings_.push_back(reading); }
    std::string ResultReading(HWND edit) override {
        asked_.push_back(edit);
        if (readings_.empty()) return {};
        std::string reading = readings_.front();
        readings_.pop_front();
        return reading;
    }
    const std::vector<HWND>& Asked() const { return asked_; }

  private:
    std::deque<std::string> readings_;
    std::vector<HWND> asked_;
};

inline void PumpMessages() {
    ui::PumpUntilQuiet();
}

// The frame: a plain top-level window at a fixed place on the screen with the page inside.
class PageFrame {
  public:
    PageFrame() : window_(SharedWindow()) { ui::SetAddinModule(GetModuleHandleW(nullptr)); }
    ~PageFrame() {
        DestroyWindow(page.Handle());
        PumpMessages();
    }
    PageFrame(const PageFrame&) = delete;
    PageFrame& operator=(const PageFrame&) = delete;

    // Creates and shows the page with the entry and settings set on it so far.
    bool Open() {
        page.SetReadingSource(readings);
        if (!page.Create(window_)) return false;
        ShowWindow(page.Handle(), SW_SHOW);
        PumpMessages();
        return true;
    }

    HWND Window() const { return window_; }
    HWND Item(int id) const { return page.Item(id); }
    std::wstring Text(int id) const {
        HWND item = Item(id);
        int length = GetWindowTextLengthW(item);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        // The length may overstate the text of a subclassed ANSI control; the copy is exact.
        int copied = GetWindowTextW(item, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        return text;
    }
    std::string AnsiText(int id) const { return ui::WindowTextAnsi(Item(id)); }
    void SetText(int id, const std::wstring& text) const { SetWindowTextW(Item(id), text.c_str()); }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    AddressEntry entry;
    PostalSettings settings;
    editor::AddressPage page{entry, settings};
    FedReadingSource readings;

  private:
    // One top-level window for the whole program: taking a top-level window down costs Wine a
    // wait for the X server, the page is what each test creates afresh.
    static HWND SharedWindow() {
        static HWND window = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"MarupoPageFrame";
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            RegisterClassW(&windowClass);
            HWND created =
                CreateWindowExW(0, L"MarupoPageFrame", L"Marupo", WS_OVERLAPPEDWINDOW, 40, 40, 820,
                                480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            ShowWindow(created, SW_SHOW);
            return created;
        }();
        return window;
    }

    HWND window_ = nullptr;
};

}  // namespace marupo::testing
