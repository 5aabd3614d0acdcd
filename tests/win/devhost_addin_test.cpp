// The add-in life cycle through the stand-in host: the add-in registry server, a test add-in
// registered in it, created at start-up, shown in the Address menu, run from a script, and
// uninitialised and released at exit.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <fstream>
#include <string>

#include "devhost/addin_host.h"
#include "devhost/addin_store.h"
#include "devhost/main_window.h"
#include "host/bstr.h"
#include "host/desktop_host.h"
#include "tests/addin/test_addin_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kTestAddin[] = L"{B845B21F-0F9A-45C5-B91C-07BCAEECFF66}";
constexpr CLSID kRegistryClsid = {
    0xbe44897a, 0xeb38, 0x11d5, {0x82, 0x3f, 0x00, 0xc0, 0x4f, 0xa0, 0x37, 0x55}};

std::wstring BuildDirectory() {
    return ProgramDirectory() + L"..\\";
}

using testing::ReadFile;

void WriteFile(const std::wstring& path, const std::string& text) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << text;
}

class AddinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(RegisterServerDll(BuildDirectory() + L"DesktopAddinRegistry.dll", false), S_OK);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        directory_ = std::wstring(temp) + L"devhost-test-" +
                     std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter_++) +
                     L"\\";
        CreateDirectoryW(directory_.c_str(), nullptr);
        trace_ = directory_ + L"trace.txt";
        // Process ids repeat between runs under Wine: start from an empty directory.
        for (const wchar_t* name :
             {L"trace.txt", L"menu.txt", L"out.txt", L"log.txt", L"first.txt"}) {
            DeleteFileW((directory_ + name).c_str());
        }
        SetEnvironmentVariableW(L"MARUPO_TEST_ADDIN_TRACE", trace_.c_str());
        while (RemoveAddin(kTestAddin) == ERROR_SUCCESS) {
        }
    }
    void TearDown() override {
        RegisterServerDll(BuildDirectory() + L"MarupoTestAddin.dll", true);
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
    }

    // Runs devhost.exe on a script in the test directory; its exit code.
    DWORD RunScript(const std::string& script) {
        WriteFile(directory_ + L"script.txt", script);
        std::wstring command = L"\"" + BuildDirectory() + L"devhost.exe\" --hidden --script \"" +
                               directory_ + L"script.txt\"";
        return testing::RunProgram(command);
    }

    std::string Output(const wchar_t* name) { return ReadFile(directory_ + name); }

    static int counter_;
    std::wstring directory_;
    std::wstring trace_;
};

int AddinTest::counter_ = 0;

const char kBook[] =
    "[book]\ncategory = 仕事\nview = All\n"
    "[record 1]\ncategory = 仕事\nsurname = 一番\nnote = 元\n"
    "[record 2]\ncategory = 仕事\nsurname = 二番\n";

TEST_F(AddinTest, RegistryServerPersistsFindsAndRemovesAddins) {
    wchar_t model[32] = {};
    DWORD size = sizeof model;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER,
                           L"Software\\Classes\\CLSID\\{BE44897A-EB38-11D5-823F-00C04FA03755}"
                           L"\\InprocServer32",
                           L"ThreadingModel", RRF_RT_REG_SZ, nullptr, model, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(model, L"Apartment");

    ComPtr<IDesktopAddinRegistry> registry;
    ASSERT_EQ(
        CoCreateInstance(kRegistryClsid, nullptr, CLSCTX_ALL, IID_IDesktopAddinRegistry, &registry),
        S_OK);
    UniqueBstr clsid(SysAllocString(L"{b845b21f-0f9a-45c5-b91c-07bcaeecff66}"));
    ComPtr<IDesktopAddinEntry> entry;
    ASSERT_EQ(registry->FindAddin(clsid.Get(), &entry), S_OK);
    EXPECT_EQ(entry, nullptr);

    UniqueBstr name(SysAllocString(L"テスト アドイン"));
    ASSERT_EQ(registry->RegisterAddin(clsid.Get(), name.Get(), &entry), S_OK);
    ASSERT_NE(entry, nullptr);
    auto stored = FindAddin(kTestAddin);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->displayName, L"テスト アドイン");
    EXPECT_EQ(stored->clsid, kTestAddin);  // kept in the canonical upper-case form

    ComPtr<IDesktopAddinEntry> found;
    ASSERT_EQ(registry->FindAddin(clsid.Get(), &found), S_OK);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Remove(), S_OK);
    EXPECT_FALSE(FindAddin(kTestAddin));
    EXPECT_EQ(entry->Remove(), S_FALSE);  // already gone
    ASSERT_EQ(registry->FindAddin(clsid.Get(), &found), S_OK);
    EXPECT_EQ(found, nullptr);

    UniqueBstr bad(SysAllocString(L"Marupo.MarupoAddin"));
    EXPECT_EQ(registry->RegisterAddin(bad.Get(), name.Get(), &entry), E_INVALIDARG);
    EXPECT_EQ(entry, nullptr);
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(registry.As(&support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDesktopAddinRegistry), S_OK);
}

TEST_F(AddinTest, ScriptRunsTheAddinsCommandThroughItsWholeLifeCycle) {
    WriteFile(directory_ + L"book.txt", kBook);
    ASSERT_EQ(RunScript("register missing.dll\nload book.txt\n"), 1u)
        << "a DLL that does not exist must stop the script";
    // Register through the script itself, as a developer would.
    std::wstring dll = BuildDirectory() + L"MarupoTestAddin.dll";
    std::string dllUtf8(dll.begin(), dll.end());
    ASSERT_EQ(RunScript("register " + dllUtf8 +  // unquoted: backslashes stay as they are
                        "\n"
                        "load book.txt\n"
                        "view 仕事\n"
                        "select 2 1\n"
                        "start\n"
                        "dump menu menu.txt\n"
                        "invoke TestStamp\n"
                        "view All\n"
                        "invoke TestStamp\n"
                        "stop\n"
                        "dump book out.txt\n"
                        "dump log log.txt\n"),
              0u);

    std::string menu = Output(L"menu.txt");
    EXPECT_NE(menu.find("\"&Test スタンプ\" bitmap 16x16"), std::string::npos) << menu;

    std::string book = Output(L"out.txt");
    // The first selected record (2) got the stamp, record 1 kept its note, and with nothing
    // selected the command created a record in the unfiled category.
    EXPECT_NE(book.find("[record 2]\ncategory = 仕事\nsurname = 二番\n"), std::string::npos);
    EXPECT_NE(book.find("note = [スタンプ]\ncontact0-label"), std::string::npos) << book;
    EXPECT_NE(book.find("note = 元\n"), std::string::npos);
    EXPECT_NE(book.find("[record 3]\ncategory = 未分類\nsurname = テスト"), std::string::npos)
        << book;

    std::string trace = ReadFile(trace_);
    EXPECT_EQ(trace,
              "OnInitialize cookie 101\n"
              "OnCommand TestStamp 0x00000000\n"
              "OnCommand TestStamp 0x00000000\n"
              "OnUninitialize\n"
              "command released\n"
              "addin released\n");

    std::string log = Output(L"log.txt");
    EXPECT_NE(
        log.find("IDesktopCommandTable.AddCommand(101, \"TestStamp\", IDesktopCommand) -> S_OK"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("IAddressBook.GetSelection() -> S_OK IAddressRecords [2 1]"),
              std::string::npos);
    EXPECT_NE(log.find("IAddressRecord#2.SetNote(\"[スタンプ]\") -> S_OK"), std::string::npos);
    EXPECT_NE(
        log.find(
            "IAddressBook.AddRecord(\"未分類\", \"押印\", \"テスト\") -> S_OK IAddressRecord#3"),
        std::string::npos);
    EXPECT_LT(log.find("-- OnInitialize Marupo Test Addin"), log.find("-- OnCommand TestStamp"));
    EXPECT_LT(log.find("-- OnCommand TestStamp"),
              log.find("-- OnUninitialize Marupo Test Addin -> S_OK"));
}

TEST_F(AddinTest, ScriptFaultsReachTheAddin) {
    WriteFile(directory_ + L"book.txt", kBook);
    ASSERT_EQ(RegisterServerDll(BuildDirectory() + L"MarupoTestAddin.dll", false), S_OK);
    ASSERT_EQ(RunScript("load book.txt\n"
                        "select 1\n"
                        "fail nth 1 SetNote E_ACCESSDENIED \"書き込みが拒否されました\"\n"
                        "invoke TestStamp\n"
                        "dump book out.txt\n"
                        "dump log log.txt\n"),
              0u);
    EXPECT_NE(Output(L"out.txt").find("note = 元\n"), std::string::npos);
    std::string log = Output(L"log.txt");
    EXPECT_NE(log.find("SetNote(\"元[スタンプ]\") -> E_ACCESSDENIED (injected)"), std::string::npos)
        << log;
    EXPECT_NE(log.find("-- OnCommand TestStamp -> E_ACCESSDENIED"), std::string::npos);

    // A failing AddMenuItem: the add-in reports failure and the menu has no item.
    ASSERT_EQ(RunScript("fail every AddMenuItem E_FAIL\n"
                        "start\n"
                        "dump menu menu.txt\n"
                        "dump log log.txt\n"),
              0u);
    EXPECT_NE(Output(L"log.txt").find("success 0"), std::string::npos);
    EXPECT_NE(Output(L"menu.txt").find("bitmap none grayed"), std::string::npos);
    EXPECT_NE(ReadFile(trace_).find("OnInitialize failed 0x80004005"), std::string::npos);
}

TEST_F(AddinTest, MalformedScriptStopsBeforeAnythingRuns) {
    EXPECT_EQ(RunScript("dump log first.txt\nfail every SetCty E_FAIL\n"), 1u);
    EXPECT_EQ(GetFileAttributesW((directory_ + L"first.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RunScript("null every GetCount\n"), 1u);
    EXPECT_EQ(RunScript("invoke NoSuchCommand\n"), 1u);
}

TEST_F(AddinTest, AddressMenuOfTheWindowShowsTheAddinsCommandAndRunsIt) {
    ASSERT_EQ(RegisterServerDll(BuildDirectory() + L"MarupoTestAddin.dll", false), S_OK);
    auto state = std::make_shared<HostState>();
    state->book.Add(kUnfiledCategory)->surname = u"選択";
    state->book.SetSelection({1});
    {
        AddinHost addins(state);
        MainWindow window(state, addins);
        ASSERT_TRUE(window.Create(true));
        addins.StartRegistered();
        ASSERT_EQ(addins.Addins().size(), 1u);
        EXPECT_EQ(addins.Addins()[0].success, 1);

        HMENU menu = window.AddressMenu();
        ASSERT_EQ(GetMenuItemCount(menu), 1);
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
        info.dwTypeData = text;
        info.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &info));
        EXPECT_STREQ(text, L"&Test スタンプ");
        BITMAP bitmap = {};
        ASSERT_NE(GetObjectW(info.hbmpItem, sizeof bitmap, &bitmap), 0);
        EXPECT_EQ(bitmap.bmWidth, 16);
        EXPECT_EQ(bitmap.bmHeight, 16);

        // Choosing the item as a person would: the menu command reaches the window.
        SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(info.wID, 0), 0);
        EXPECT_EQ(state->book.Find(1)->note, u"[スタンプ]");

        addins.Stop();
        EXPECT_EQ(GetMenuItemCount(menu), 1);
        info.fMask = MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &info));
        EXPECT_NE(static_cast<long>(info.wID), state->nextCommandId - 1);  // only the placeholder
    }
    EXPECT_EQ(ReadFile(trace_),
              "OnInitialize cookie 101\nOnCommand TestStamp 0x00000000\nOnUninitialize\n"
              "command released\naddin released\n");
}

}  // namespace
}  // namespace marupo::devhost
