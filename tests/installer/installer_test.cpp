// The installer of this build (Marupo-VERSION-setup.exe beside the DLL), run as users and
// administrators run it, in a Wine prefix made afresh for this program (run-in-fresh-prefix.sh):
// interactively, its pages and message boxes driven through their windows, and silently with
// /S. The stand-in host plays the installed host: its add-in registry is what "installed" means,
// and it loads whatever add-in the installation registered.

#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "devhost/addin_store.h"
#include "res/version.h"
#include "tests/support/child_process.h"

namespace marupo {
namespace {

constexpr wchar_t kVersion[] = L"" MARUPO_VERSION_TEXT;
constexpr wchar_t kClsidText[] = L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kClassKey[] = L"CLSID\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kTypeLibKey[] = L"TypeLib\\{2F81C6B4-0D9A-4B37-8E52-61A0F3C9D2E8}";
constexpr wchar_t kHostRegistryClassKey[] = L"CLSID\\{BE44897A-EB38-11D5-823F-00C04FA03755}";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marupo";
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Orlenta\\Marupo";
constexpr DWORD kTimeoutMs = 60000;

const std::wstring kHostMissingText =
    L"Palm Desktop が見つかりません。\r\n\r\nMarupo はこのままインストールします。Palm Desktop "
    L"をインストールしたあとで、このインストーラーをもう一度実行してください。そのときに Marupo "
    L"が Palm Desktop に登録され、アドレス帳のメニューに「Marupo 編集」と「Marupo "
    L"新規追加」が表示されるようになります。";
const std::wstring kInUseText =
    L"Marupo は Palm Desktop が使用中のため、更新できません。\r\n\r\nPalm Desktop "
    L"を終了してから [再試行] を押してください。[キャンセル] を押すと、何も変更せずに終了します。";

std::filesystem::path BuildDir() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path();
}

std::wstring Installer() {
    return L"\"" + (BuildDir() / (std::wstring(L"Marupo-") + kVersion + L"-setup.exe")).wstring() +
           L"\"";
}

std::wstring Devhost() {
    return L"\"" + (BuildDir() / L"devhost.exe").wstring() + L"\"";
}

// Marupo\ under the Program Files folder of this program's bitness, which is the installer's.
std::filesystem::path InstallFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::filesystem::path(folder) / L"Marupo";
}

std::optional<std::wstring> RegString(HKEY root, const std::wstring& key, const wchar_t* name,
                                      REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS status =
        RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::wstring(value);
}

std::optional<DWORD> RegDword(HKEY root, const std::wstring& key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

std::string Narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// A program started without waiting for it; stopped if it is still running at the end.
class StartedProgram {
  public:
    explicit StartedProgram(std::wstring commandLine) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    ~StartedProgram() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, kTimeoutMs);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The exit code, or 9998 when the program is still running after the timeout.
    DWORD Wait() const {
        DWORD code = 9998;
        if (WaitForSingleObject(process_.hProcess, kTimeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.hProcess, &code);
        }
        return code;
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return L"";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

struct WindowSearch {
    DWORD process;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK AcceptWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window) || !(*search->accept)(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The first shown top-level window of the process that the test accepts.
HWND WindowOf(DWORD process, const std::function<bool(HWND)>& accept) {
    WindowSearch search{process, &accept, nullptr};
    EnumWindows(AcceptWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 100) {
        if (done()) return true;
        Sleep(100);
    }
    return false;
}

HWND WaitFor(const std::function<HWND()>& find) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = find()) != nullptr; });
    return window;
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return wcscmp(name, L"#32770") == 0;
}

// A message box carries its text in the static 0xFFFF.
HWND MessageBoxOf(DWORD process) {
    return WaitFor([process] {
        return WindowOf(process, [](HWND w) { return IsDialog(w) && GetDlgItem(w, 0xFFFF); });
    });
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The wizard once its forward button is enabled and reads `caption` (the page it belongs to), as
// a user waits for the page before clicking.
HWND WizardAt(const StartedProgram& setup, const std::wstring& caption) {
    const DWORD process = setup.Id();
    HWND wizard = WaitFor([process, &caption] {
        return WindowOf(process, [&caption](HWND w) {
            HWND forward = GetDlgItem(w, IDOK);
            return IsDialog(w) && !GetDlgItem(w, 0xFFFF) && forward != nullptr &&
                   IsWindowEnabled(forward) && TextOf(forward) == caption;
        });
    });
    EXPECT_NE(wizard, nullptr) << "no installer page with the button " << Narrow(caption);
    return wizard;
}

void PressForward(const StartedProgram& setup, const std::wstring& caption) {
    if (HWND wizard = WizardAt(setup, caption)) Press(wizard, IDOK);
}

// The installed DLL is loaded by a process: Windows refuses to open a mapped image for writing.
bool DllHeld(const std::filesystem::path& dll) {
    HANDLE file = CreateFileW(dll.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
}

// The Address menu of the stand-in host after it has started every registered add-in.
std::string HostMenu() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) / (L"marupo-installer-" + std::to_wstring(GetTickCount()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / L"menu.devhost", std::ios::binary)
        << "start\ndump menu menu.txt\nstop\n";
    const DWORD status = testing::RunProgram(Devhost() + L" --hidden --script \"" +
                                             (folder / L"menu.devhost").wstring() + L"\"");
    std::ifstream in(folder / L"menu.txt", std::ios::binary);
    std::ostringstream menu;
    menu << in.rdbuf();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    EXPECT_EQ(status, 0u) << "the stand-in host's menu script";
    return menu.str();
}

bool ShowsBothCommands(const std::string& menu) {
    return menu.find("\"&Marupo 編集\"") != std::string::npos &&
           menu.find("\"&Marupo 新規追加\"") != std::string::npos;
}

// The uninstaller runs from a copy of itself in the temporary folder (Un.exe, Un_A.exe in older
// NSIS), so that it can delete its own file; the copy goes on after the started program ended.
void WaitForUninstallerCopies() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (wcsncmp(entry.szExeFile, L"Un", 2) != 0) continue;
        if (HANDLE copy = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            EXPECT_EQ(WaitForSingleObject(copy, kTimeoutMs), WAIT_OBJECT_0);
            CloseHandle(copy);
        }
    }
    CloseHandle(snapshot);
}

// As an administrator rolls it out: /S installs into the 32-bit Program Files and registry (the
// host is a 32-bit program), appears in Apps & features, is loaded by the host; /S on the
// uninstaller takes everything away again but the user's settings.
TEST(InstallerTest, SilentInstallIsFoundByTheHostAndUninstallsCleanly) {
    ASSERT_EQ(testing::RunProgram(Devhost() + L" --register-registry"), 0u);
    ASSERT_EQ(testing::RunProgram(Installer() + L" /S"), 0u);

    const std::filesystem::path folder = InstallFolder();
    const std::wstring dll = (folder / L"Marupo.dll").wstring();
    for (const wchar_t* file : {L"Marupo.dll", L"marupo-lookup.exe", L"Marupo-guide.html",
                                L"LICENSE.txt", L"uninstall.exe"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << Narrow(file);
    }
    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, server, nullptr), dll);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, server, L"ThreadingModel"), L"Apartment");
#ifndef _WIN64
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_64KEY))
        << "a 32-bit host finds the class in the 32-bit registry only";
#endif
    const auto entry = devhost::FindAddin(kClsidText);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->displayName, L"Marupo Addin");

    const std::wstring uninstaller = L"\"" + (folder / L"uninstall.exe").wstring() + L"\"";
    struct Value {
        const wchar_t* name;
        std::wstring expected;
    } const values[] = {
        {L"DisplayName", L"Marupo"},
        {L"DisplayVersion", kVersion},
        {L"Publisher", L"Marupo Project"},
        {L"DisplayIcon", dll + L",-302"},
        {L"InstallLocation", folder.wstring()},
        {L"UninstallString", uninstaller},
        {L"QuietUninstallString", uninstaller + L" /S"},
    };
    for (const Value& v : values) {
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, v.name), v.expected)
            << Narrow(v.name);
    }
    EXPECT_GT(RegDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize").value_or(0), 100u);
    HICON icon = nullptr;
    EXPECT_EQ(ExtractIconExW(dll.c_str(), -302, &icon, nullptr, 1), 1u) << "the entry's icon";
    if (icon != nullptr) DestroyIcon(icon);
    const std::string menu = HostMenu();
    EXPECT_TRUE(ShowsBothCommands(menu)) << menu;

    // The user's settings, as the settings dialog writes them.
    const std::wstring path = L"C:\\郵便番号\\utf_ken_all.csv";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"CSVFile1", REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    ASSERT_EQ(testing::RunProgram(uninstaller + L" /S"), 0u);
    WaitForUninstallerCopies();
    EXPECT_FALSE(std::filesystem::exists(folder));
    for (const wchar_t* key :
         {kClassKey, L"Marupo.MarupoAddin", L"Marupo.MarupoAddin.1", kTypeLibKey}) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << Narrow(key);
    }
    EXPECT_FALSE(devhost::FindAddin(kClsidText));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kSettingsKey, L"CSVFile1"), path);
    EXPECT_EQ(HostMenu().find("Marupo"), std::string::npos) << "the host still loads the add-in";

    // The host goes as well, for the next test.
    ASSERT_EQ(testing::RunProgram(Devhost() + L" --unregister-registry"), 0u);
}

// Where the host is not installed: the installer says so in Japanese and installs all the same,
// here into a folder the user chose; run again once the host is there, it upgrades that
// installation in place and announces the add-in to the host. While the
// host holds the DLL, a silent run changes nothing, and an interactive one asks for the host to
// be closed until it is.
TEST(InstallerTest, TellsTheUserWhenTheHostIsMissingAndWhenItHoldsTheAddin) {
    ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHostRegistryClassKey))
        << "the stand-in host's registry is registered already";
    const std::filesystem::path folder = L"C:\\アドイン\\Marupo";
    const std::filesystem::path dll = folder / L"Marupo.dll";
    {
        StartedProgram setup(Installer());
        ASSERT_TRUE(setup.Started());
        HWND box = MessageBoxOf(setup.Id());
        ASSERT_NE(box, nullptr) << "no message about the missing host";
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), kHostMissingText);
        Press(box, IDOK);
        PressForward(setup, L"次へ(&N) >");
        HWND wizard = WizardAt(setup, L"インストール(&I)");
        ASSERT_NE(wizard, nullptr);
        HWND page = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
        SendMessageW(GetDlgItem(page, 1019), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(folder.c_str()));  // the folder's edit
        Press(wizard, IDOK);
        PressForward(setup, L"完了(&F)");
        ASSERT_EQ(setup.Wait(), 0u);
    }
    EXPECT_TRUE(std::filesystem::exists(dll));
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32", nullptr),
              dll.wstring());
    EXPECT_FALSE(devhost::FindAddin(kClsidText)) << "no host, so no host entry";

    // The host installed, the installer run again: the host now knows the add-in.
    ASSERT_EQ(testing::RunProgram(Devhost() + L" --register-registry"), 0u);
    ASSERT_EQ(testing::RunProgram(Installer() + L" /S"), 0u);
    ASSERT_TRUE(devhost::FindAddin(kClsidText));
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32", nullptr),
              dll.wstring());
    EXPECT_FALSE(std::filesystem::exists(InstallFolder())) << "not upgraded in place";

    StartedProgram host(Devhost());
    ASSERT_TRUE(host.Started());
    ASSERT_TRUE(WaitUntil([&dll] { return DllHeld(dll); })) << "the host did not load the add-in";
    EXPECT_EQ(testing::RunProgram(Installer() + L" /S"), 2u) << "a silent run cannot ask";
    EXPECT_TRUE(devhost::FindAddin(kClsidText)) << "the silent run must leave the add-in whole";

    StartedProgram setup(Installer());
    ASSERT_TRUE(setup.Started());
    PressForward(setup, L"次へ(&N) >");
    PressForward(setup, L"インストール(&I)");
    HWND box = MessageBoxOf(setup.Id());
    ASSERT_NE(box, nullptr) << "no message about the add-in in use";
    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), kInUseText);
    Press(box, IDRETRY);  // the host still runs: asked again
    ASSERT_TRUE(WaitUntil([box] { return !IsWindow(box); }));
    box = MessageBoxOf(setup.Id());
    ASSERT_NE(box, nullptr) << "retrying with the host running must ask again";

    HWND hostWindow = WindowOf(host.Id(), [](HWND) { return true; });
    ASSERT_NE(hostWindow, nullptr);
    PostMessageW(hostWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Wait(), 0u);
    Press(box, IDRETRY);
    PressForward(setup, L"完了(&F)");
    EXPECT_EQ(setup.Wait(), 0u);
    EXPECT_TRUE(ShowsBothCommands(HostMenu()));
}

}  // namespace
}  // namespace marupo
