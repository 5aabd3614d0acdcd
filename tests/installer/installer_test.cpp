// The installer of this build (Marupo-VERSION-setup.exe beside the DLL), run as users and
// administrators run it, in a Wine prefix made afresh for this program (run-in-fresh-prefix.sh):
// silently with /S, and interactively, its pages and message boxes driven through their windows.
// The stand-in host plays the installed host: its add-in registry is what "installed" means, and
// it loads whatever add-in the installation registered. Two variants of the installer, an older
// version and one whose DLL fails to register, are built beside the test for the upgrade paths.

#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "devhost/addin_store.h"
#include "res/version.h"
#include "tests/support/addin_dll.h"
#include "tests/support/child_process.h"
#include "tests/support/modal_driver.h"
#include "tests/support/registry_values.h"

namespace marupo {
namespace {

using testing::ChildProcess;
using testing::ModalDriver;
using testing::RegistryKeyExists;
using testing::RegistryString;
using testing::RunProgram;

constexpr wchar_t kVersion[] = L"" MARUPO_VERSION_TEXT;
constexpr wchar_t kClsidText[] = L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kClassKey[] = L"CLSID\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kServerKey[] = L"CLSID\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}\\InprocServer32";
constexpr wchar_t kHostRegistryClassKey[] = L"CLSID\\{BE44897A-EB38-11D5-823F-00C04FA03755}";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marupo";
constexpr wchar_t kActiveSetupKey[] =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\"
    L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Orlenta\\Marupo";
// What the DLL's registration writes under HKEY_CLASSES_ROOT.
constexpr const wchar_t* kRegisteredKeys[] = {kClassKey, L"Marupo.MarupoAddin",
                                              L"Marupo.MarupoAddin.1",
                                              L"TypeLib\\{2F81C6B4-0D9A-4B37-8E52-61A0F3C9D2E8}"};

std::wstring Quoted(const std::filesystem::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

const std::wstring kInstaller =
    Quoted(testing::BuildDirectory() / (std::wstring(L"Marupo-") + kVersion + L"-setup.exe"));
const std::wstring kDevhost = Quoted(testing::BuildDirectory() / L"devhost.exe");
// The same installer built as an older version, and with a DLL that fails to register.
const std::filesystem::path kVariants =
    testing::BuildDirectory() / L"tests" / L"installer-variants";
const std::wstring kOlderInstaller = Quoted(kVariants / L"older-setup.exe");
const std::wstring kFailingInstaller = Quoted(kVariants / L"failing-registration-setup.exe");

// Marupo\ under the Program Files folder of this program's bitness, which is the installer's.
std::filesystem::path DefaultFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::filesystem::path(folder) / L"Marupo";
}

std::filesystem::path GuideShortcut() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::filesystem::path(folder) / L"Marupo 使い方ガイド.lnk";
}

// The file and the product version of a program's or DLL's version resource: "0.9.6.0 1.0.0.0".
std::wstring Versions(const std::filesystem::path& file) {
    std::vector<char> data(GetFileVersionInfoSizeW(file.c_str(), nullptr));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() ||
        !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size)) {
        return {};
    }
    const auto text = [](DWORD high, DWORD low) {
        return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
               std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
    };
    return text(info->dwFileVersionMS, info->dwFileVersionLS) + L" " +
           text(info->dwProductVersionMS, info->dwProductVersionLS);
}

// Whether each key that the DLL's registration writes is there.
void ExpectRegistered(bool registered) {
    for (const wchar_t* key : kRegisteredKeys) {
        EXPECT_EQ(RegistryKeyExists(HKEY_CLASSES_ROOT, key), registered) << key;
    }
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int tries = 0; tries < 600; ++tries, Sleep(100)) {
        if (done()) return true;
    }
    return false;
}

// The first shown top-level window of the process that `accept` takes, waited for.
HWND WindowOf(DWORD process, std::function<bool(HWND)> accept) {
    struct Search {
        DWORD process;
        std::function<bool(HWND)> accept;
        HWND found = nullptr;
        static BOOL CALLBACK Visit(HWND window, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->process || !IsWindowVisible(window)) return TRUE;
            if (!search->accept(window)) return TRUE;
            search->found = window;
            return FALSE;
        }
    } search{process, std::move(accept)};
    WaitUntil([&search] {
        EnumWindows(Search::Visit, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

HWND MessageBoxOf(const ChildProcess& setup) {
    return WindowOf(setup.Id(), devhost::ModalWatch::IsMessageBox);
}

// The wizard once its forward button is enabled and reads `caption`, the page's own: as a user
// waits for the page before clicking.
HWND WizardAt(const ChildProcess& setup, const std::wstring& caption) {
    HWND wizard = WindowOf(setup.Id(), [&caption](HWND w) {
        HWND forward = GetDlgItem(w, IDOK);
        return !devhost::ModalWatch::IsMessageBox(w) && forward != nullptr &&
               IsWindowEnabled(forward) && ModalDriver::Text(forward) == caption;
    });
    EXPECT_NE(wizard, nullptr) << "no installer page with the button " << caption;
    return wizard;
}

void Forward(const ChildProcess& setup, const std::wstring& caption) {
    if (HWND wizard = WizardAt(setup, caption)) ModalDriver::Click(wizard, IDOK);
}

// Windows refuses to open for writing a DLL that a process has loaded.
bool DllHeld(const std::filesystem::path& dll) {
    HANDLE file = CreateFileW(dll.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
}

void CloseHost(ChildProcess& host) {
    PostMessageW(WindowOf(host.Id(), [](HWND) { return true; }), WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Wait(), 0u);
}

// The stand-in host's Address menu once it has started every registered add-in.
std::string HostMenu() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"marupo-menu";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / L"menu.devhost") << "start\ndump menu menu.txt\nstop\n";
    EXPECT_EQ(RunProgram(kDevhost + L" --hidden --script " + Quoted(folder / L"menu.devhost")), 0u);
    std::ostringstream menu;
    menu << std::ifstream(folder / L"menu.txt").rdbuf();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return menu.str();
}

bool ShowsBothCommands(const std::string& menu) {
    return menu.find("\"&Marupo 編集\"") != std::string::npos &&
           menu.find("\"&Marupo 新規追加\"") != std::string::npos;
}

// As an administrator rolls it out: /S installs into the 32-bit Program Files and registry (the
// host is a 32-bit program), appears in Apps & features and is loaded by the host; /S on the
// uninstaller takes everything away again but the user's settings.
TEST(InstallerTest, SilentInstallIsFoundByTheHostAndUninstallsCleanly) {
    ASSERT_EQ(RunProgram(kDevhost + L" --register-registry"), 0u);
    ASSERT_EQ(RunProgram(kInstaller + L" /S"), 0u);

    const std::filesystem::path folder = DefaultFolder();
    const std::wstring dll = (folder / L"Marupo.dll").wstring();
    for (const wchar_t* file : {L"Marupo.dll", L"marupo-lookup.exe", L"marupo-announce.exe",
                                L"Marupo-guide.html", L"LICENSE.txt", L"THIRD-PARTY-NOTICES.txt",
                                L"uninstall.exe"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
    }
    EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, kServerKey), dll);
    EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, kServerKey, L"ThreadingModel"), L"Apartment");
#ifndef _WIN64
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_64KEY))
        << "a 32-bit host finds the class in the 32-bit registry only";
#endif
    const auto entry = devhost::FindAddin(kClsidText);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->displayName, L"Marupo Addin");

    const std::wstring uninstaller = Quoted(folder / L"uninstall.exe");
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"DisplayName", L"Marupo"},
        {L"DisplayVersion", kVersion},
        {L"Publisher", L"Marupo Project"},
        {L"DisplayIcon", dll + L",-302"},
        {L"InstallLocation", folder.wstring()},
        {L"UninstallString", uninstaller},
        {L"QuietUninstallString", uninstaller + L" /S"},
    };
    for (const auto& [name, expected] : values) {
        EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, name), expected) << name;
    }
    DWORD kilobytes = 0, size = sizeof kilobytes;
    RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr,
                 &kilobytes, &size);
    EXPECT_GT(kilobytes, 100u);
    ExpectRegistered(true);
    EXPECT_TRUE(std::filesystem::exists(GuideShortcut()));
    // Setup's version resource reads as the DLL's file version does; 0.96 names the release.
    EXPECT_EQ(
        Versions(testing::BuildDirectory() / (std::wstring(L"Marupo-") + kVersion + L"-setup.exe")),
        L"0.9.6.0 0.9.6.0");
    EXPECT_EQ(Versions(dll), L"0.9.6.0 1.0.0.0");
    HICON icon = nullptr;
    EXPECT_EQ(ExtractIconExW(dll.c_str(), -302, &icon, nullptr, 1), 1u) << "the entry's icon";
    if (icon != nullptr) DestroyIcon(icon);
    const std::string menu = HostMenu();
    EXPECT_TRUE(ShowsBothCommands(menu)) << menu;

    // Another user's first logon, whose host has no entry: Windows runs the Active Setup command
    // as that user.
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kActiveSetupKey, L"Version"), L"0,9,6,0");
    ASSERT_EQ(devhost::RemoveAddin(kClsidText), ERROR_SUCCESS);
    EXPECT_EQ(RunProgram(RegistryString(HKEY_LOCAL_MACHINE, kActiveSetupKey, L"StubPath")
                             .value_or(L"marupo-announce.exe")),
              0u);
    EXPECT_TRUE(ShowsBothCommands(HostMenu()));

    // The user's settings, as the settings dialog writes them.
    const std::wstring path = L"C:\\郵便番号\\utf_ken_all.csv";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"CSVFile1", REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    // The uninstaller goes on in a copy of itself, so that it can delete its own file.
    ASSERT_EQ(RunProgram(uninstaller + L" /S"), 0u);
    EXPECT_TRUE(WaitUntil([&folder] { return !std::filesystem::exists(folder); }));
    ExpectRegistered(false);
    EXPECT_FALSE(std::filesystem::exists(GuideShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kActiveSetupKey));
    EXPECT_FALSE(devhost::FindAddin(kClsidText));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kSettingsKey, L"CSVFile1"), path);
    EXPECT_EQ(HostMenu().find("Marupo"), std::string::npos) << "the host still loads the add-in";

    // The host goes as well, for the next test.
    ASSERT_EQ(RunProgram(kDevhost + L" --unregister-registry"), 0u);
}

// Where the host is not installed: the installer says so in Japanese and installs all the same,
// here into a folder the user chose; run again once the host is there, it upgrades that
// installation in place and announces the add-in to the host. While the host holds the DLL, a
// silent run changes nothing, and an interactive one asks for the host to be closed until it is.
TEST(InstallerTest, TellsTheUserWhenTheHostIsMissingAndWhenItHoldsTheAddin) {
    ASSERT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kHostRegistryClassKey));
    const std::filesystem::path folder = L"C:\\アドイン\\Marupo";
    const std::filesystem::path dll = folder / L"Marupo.dll";
    {
        ChildProcess setup(kInstaller);
        HWND box = MessageBoxOf(setup);
        ASSERT_NE(box, nullptr) << "no message about the missing host";
        const std::wstring text = ModalDriver::ControlText(box, 0xFFFF);
        EXPECT_EQ(text.rfind(L"Palm Desktop が見つかりません。", 0), 0u) << text;
        EXPECT_NE(text.find(L"このインストーラーをもう一度実行してください。"), text.npos) << text;
        ModalDriver::Click(box, IDOK);
        Forward(setup, L"次へ(&N) >");
        HWND wizard = WizardAt(setup, L"インストール(&I)");
        ASSERT_NE(wizard, nullptr);
        HWND page = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
        SendMessageW(GetDlgItem(page, 1019), WM_SETTEXT, 0,  // the folder's edit
                     reinterpret_cast<LPARAM>(folder.c_str()));
        ModalDriver::Click(wizard, IDOK);
        Forward(setup, L"完了(&F)");
        ASSERT_EQ(setup.Wait(), 0u);
    }
    EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, kServerKey), dll.wstring());
    EXPECT_FALSE(devhost::FindAddin(kClsidText)) << "no host, so no host entry";

    ASSERT_EQ(RunProgram(kDevhost + L" --register-registry"), 0u);
    ASSERT_EQ(RunProgram(kInstaller + L" /S"), 0u);
    EXPECT_TRUE(devhost::FindAddin(kClsidText));
    EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, kServerKey), dll.wstring());
    EXPECT_FALSE(std::filesystem::exists(DefaultFolder())) << "not upgraded in place";

    ChildProcess host(kDevhost);
    ASSERT_TRUE(WaitUntil([&dll] { return DllHeld(dll); })) << "the host did not load the add-in";
    EXPECT_EQ(RunProgram(kInstaller + L" /S"), 2u) << "a silent run cannot ask";
    EXPECT_TRUE(devhost::FindAddin(kClsidText)) << "the silent run must leave the add-in whole";

    ChildProcess setup(kInstaller);
    Forward(setup, L"次へ(&N) >");
    Forward(setup, L"インストール(&I)");
    HWND box = MessageBoxOf(setup);
    ASSERT_NE(box, nullptr) << "no message about the add-in in use";
    const std::wstring text = ModalDriver::ControlText(box, 0xFFFF);
    EXPECT_EQ(text.rfind(L"Marupo は Palm Desktop が使用中のため、更新できません。", 0), 0u)
        << text;
    EXPECT_NE(text.find(L"Palm Desktop を終了してから [再試行] を押してください。"), text.npos)
        << text;
    ModalDriver::Click(box, IDRETRY);  // the host still runs: asked again
    ASSERT_TRUE(WaitUntil([box] { return !IsWindow(box); }));
    box = MessageBoxOf(setup);
    ASSERT_NE(box, nullptr) << "retrying with the host running must ask again";

    CloseHost(host);
    ModalDriver::Click(box, IDRETRY);
    Forward(setup, L"完了(&F)");
    EXPECT_EQ(setup.Wait(), 0u);
    EXPECT_TRUE(ShowsBothCommands(HostMenu()));

    // The lookup program in use (here: open without write sharing, as a running program is) is
    // checked before any file is replaced: the DLL, marked by one byte more, stays as it was.
    std::ofstream(dll, std::ios::app | std::ios::binary) << '\0';
    const auto markedSize = std::filesystem::file_size(dll);
    {
        HANDLE lookup = CreateFileW((folder / L"marupo-lookup.exe").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lookup, INVALID_HANDLE_VALUE);
        EXPECT_EQ(RunProgram(kInstaller + L" /S"), 2u);
        CloseHandle(lookup);
    }
    EXPECT_EQ(std::filesystem::file_size(dll), markedSize) << "the DLL was replaced";

    // Uninstalled silently as the guide tells administrators to: in place, so that the exit code
    // is the result. The host holding the add-in makes it 2 and changes nothing.
    const std::wstring uninstall =
        Quoted(folder / L"uninstall.exe") + L" /S _?=" + folder.wstring();
    ChildProcess holder(kDevhost);
    ASSERT_TRUE(WaitUntil([&dll] { return DllHeld(dll); }));
    EXPECT_EQ(RunProgram(uninstall), 2u);
    EXPECT_TRUE(devhost::FindAddin(kClsidText));
    EXPECT_TRUE(std::filesystem::exists(dll));
    CloseHost(holder);
    EXPECT_EQ(RunProgram(uninstall), 0u);
    EXPECT_FALSE(std::filesystem::exists(dll));
    EXPECT_FALSE(devhost::FindAddin(kClsidText));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    ASSERT_EQ(RunProgram(kDevhost + L" --unregister-registry"), 0u);
}

// An older version installed silently where the host is missing (no message box may hold up a
// silent run), then this version into another folder: one copy stays, and the class, the Apps
// entry and the uninstaller all lead to it. A DLL that then fails to register takes the whole
// installation with it and says so by its own exit code.
TEST(InstallerTest, AnUpgradeIntoAnotherFolderLeavesOneCopyAndAFailedOneNothing) {
    ASSERT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kHostRegistryClassKey));
    ASSERT_EQ(RunProgram(kOlderInstaller + L" /S", 60000), 0u);
    const std::filesystem::path older = DefaultFolder();
    ASSERT_TRUE(std::filesystem::exists(older / L"Marupo.dll"));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"0.01");

    ASSERT_EQ(RunProgram(kDevhost + L" --register-registry"), 0u);
    const std::filesystem::path folder = L"C:\\Other Place\\Marupo";
    ASSERT_EQ(RunProgram(kInstaller + L" /S /D=" + folder.wstring()), 0u);
    EXPECT_FALSE(std::filesystem::exists(older)) << "the older copy stayed";
    const std::wstring dll = (folder / L"Marupo.dll").wstring();
    EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, kServerKey), dll);
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), kVersion);
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"),
              folder.wstring());
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"),
              Quoted(folder / L"uninstall.exe"));
    EXPECT_TRUE(std::filesystem::exists(folder / L"uninstall.exe"));
    EXPECT_TRUE(ShowsBothCommands(HostMenu()));

    ASSERT_EQ(RunProgram(kFailingInstaller + L" /S /D=" + older.wstring()), 3u);
    for (const auto& gone : {folder, DefaultFolder(), GuideShortcut()}) {
        EXPECT_FALSE(std::filesystem::exists(gone)) << gone;
    }
    ExpectRegistered(false);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(devhost::FindAddin(kClsidText));
    ASSERT_EQ(RunProgram(kDevhost + L" --unregister-registry"), 0u);
}

}  // namespace
}  // namespace marupo
