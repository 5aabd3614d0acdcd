#pragma once
// What the editor tests share: the settings in the registry, host categories from the stand-in
// host, and driving the editor's windows (its pages and tabs).

#include <windows.h>

#include <commctrl.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "devhost/host_objects.h"
#include "entry/host_categories.h"
#include "res/address_page.h"
#include "res/editor.h"
#include "tests/win/postal_conversion_fixture.h"
#include "ui/message_pump.h"
#include "ui/module_state.h"
#include "ui/window_text.h"

namespace marupo::testing {

constexpr char kSettingsKey[] = "SOFTWARE\\Orlenta\\Marupo";

// The settings key starts empty (so the settings are incomplete) and is removed afterwards.
class SettingsInRegistry {
  public:
    SettingsInRegistry() { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta"); }
    ~SettingsInRegistry() { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta"); }
    SettingsInRegistry(const SettingsInRegistry&) = delete;
    SettingsInRegistry& operator=(const SettingsInRegistry&) = delete;

    void SetPaths(const std::string& nationwide, const std::string& business) const {
        SetString("CSVFile1", nationwide);
        SetString("CSVFile2", business);
    }
    std::string Path(const char* name) const {
        char buffer[512] = {};
        DWORD size = sizeof buffer;
        if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer,
                         &size) != ERROR_SUCCESS)
            return {};
        return buffer;
    }

  private:
    static void SetString(const char* name, const std::string& text) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() + 1));
    }
};

// Gives `entry` a category list of the stand-in host with `names`, in that order; the host's
// state is returned for fault rules.
inline std::shared_ptr<devhost::HostState> GiveHostCategories(
    AddressEntry& entry, const std::vector<std::wstring>& names) {
    auto state = std::make_shared<devhost::HostState>();
    std::vector<std::u16string> hostNames;
    for (const auto& name : names) hostNames.emplace_back(name.begin(), name.end());
    Microsoft::WRL::ComPtr<ICategoryNames> categories =
        devhost::CreateCategoryNames(state, hostNames);
    SetHostCategories(entry, categories.Get());
    return state;
}

// The frame's two pages (child dialogs); the address page is the one with the surname edit.
inline HWND EditorPage(HWND frame, bool notePage) {
    for (HWND child = FindWindowExW(frame, nullptr, L"#32770", nullptr); child != nullptr;
         child = FindWindowExW(frame, child, L"#32770", nullptr)) {
        if ((GetDlgItem(child, IDC_ADDR_SURNAME) == nullptr) == notePage) return child;
    }
    return nullptr;
}
inline HWND AddressPageOf(HWND frame) {
    return EditorPage(frame, false);
}
inline HWND NotePageOf(HWND frame) {
    return EditorPage(frame, true);
}

// Clicks tab `index` of the frame's tab control as the mouse would.
inline void ClickTab(HWND frame, int index) {
    HWND tabs = GetDlgItem(frame, IDC_EDITOR_TABS);
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    ui::PumpUntilQuiet();
}

// Clicks a control as the mouse would, for statics and others that BM_CLICK does not reach.
inline void MouseClick(HWND control) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

}  // namespace marupo::testing
