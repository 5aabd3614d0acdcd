#pragma once
// What the screenshot programs share: a sample entry as a user would have it, and the handshake
// with scripts/screenshots.sh, which captures each window the program holds on the screen.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "entry/address_entry.h"
#include "ui/message_pump.h"
#include "ui/window_text.h"

namespace marupo::testing {

inline void FillSampleEntry(AddressEntry& entry) {
    entry.surname = ui::WideToAnsi(L"山田");
    entry.surnameReading = ui::WideToAnsi(L"やまだ");
    entry.givenName = ui::WideToAnsi(L"花子");
    entry.givenNameReading = ui::WideToAnsi(L"はなこ");
    entry.title = ui::WideToAnsi(L"営業部長");
    entry.company = ui::WideToAnsi(L"丸穂商事株式会社");
    entry.companyReading = ui::WideToAnsi(L"まるほしょうじかぶしきがいしゃ");
    entry.postalCode = "060-0042";
    entry.prefecture = ui::WideToAnsi(L"北海道");
    entry.city = ui::WideToAnsi(L"札幌市中央区");
    entry.street = ui::WideToAnsi(L"大通西1-2-3");
    entry.country = ui::WideToAnsi(L"日本");
    entry.primarySlot = 3;
    entry.contactSlots[0].text = "011-222-3333";
    entry.contactSlots[1].text = "011-444-5555";
    entry.contactSlots[2].text = "011-222-3334";
    entry.contactSlots[3] = {labelMobile, "090-1234-5678"};
    entry.contactSlots[4].text = "hanako@example.jp";
    entry.customLabels = {ui::WideToAnsi(L"誕生日:"), ui::WideToAnsi(L"趣味:"),
                          ui::WideToAnsi(L"血液型:"), ui::WideToAnsi(L"メモ:")};
    entry.customFields = {ui::WideToAnsi(L"4月1日"), ui::WideToAnsi(L"登山"), "A",
                          ui::WideToAnsi(L"年賀状送付")};
}

// Hands the window's screen rectangle to the capturing script and waits until it is done.
class CaptureHandshake {
  public:
    explicit CaptureHandshake(std::filesystem::path folder) : folder_(std::move(folder)) {}

    bool Capture(HWND window, const std::string& name) const {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        // Wine hands what was drawn to the X server while the thread takes messages.
        KeepPumping(std::chrono::milliseconds(500));
        RECT rect{};
        GetWindowRect(window, &rect);
        const auto done = folder_ / (name + ".done");
        {
            std::ofstream out(folder_ / (name + ".rect.tmp"));
            out << rect.left << ' ' << rect.top << ' ' << rect.right - rect.left << ' '
                << rect.bottom - rect.top << '\n';
        }
        std::filesystem::rename(folder_ / (name + ".rect.tmp"), folder_ / (name + ".rect"));
        for (int waited = 0; waited < 600; ++waited) {
            if (std::filesystem::exists(done)) return true;
            KeepPumping(std::chrono::milliseconds(100));
        }
        return false;
    }

  private:
    static void KeepPumping(std::chrono::milliseconds duration) {
        const auto until = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < until) {
            ui::PumpUntilQuiet();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::filesystem::path folder_;
};

inline std::filesystem::path WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// The folder the script named, or empty when the program runs as an ordinary test.
inline std::filesystem::path ScreenshotFolder() {
    const wchar_t* folder = _wgetenv(L"MARUPO_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == L'\0') return {};
    return WindowsPath(folder);
}

}  // namespace marupo::testing
