// Self-registration of the real add-in DLL as users do it, through Wine's own regsvr32: the
// class keys of the registry script, the type library, and the entry in the host's add-in
// registry; then the add-in as clients meet it afterwards: an automation client calling it
// late-bound by ProgID, and the stand-in host loading it at start-up.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "devhost/addin_host.h"
#include "devhost/addin_store.h"
#include "res/marupo_addin.h"
#include "tests/support/addin_dll.h"
#include "tests/support/child_process.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_files.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kClsidText[] = L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kClassKey[] = L"CLSID\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";

std::vector<std::wstring> Subkeys(const std::wstring& key) {
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(opened);
    std::sort(names.begin(), names.end());
    return names;
}

using testing::ReadFile;

class ModuleRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        build_ = testing::AddinDllPath();
        ASSERT_EQ(devhost::RegisterServerDll(
                      (build_.parent_path() / L"DesktopAddinRegistry.dll").wstring(), false),
                  S_OK);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        directory_ = std::filesystem::path(temp) /
                     (L"marupo-registration-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override {
        Regsvr32(build_, true);
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    static DWORD Regsvr32(const std::filesystem::path& dll, bool unregister) {
        return testing::RunProgram(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") +
                                   L"\"" + dll.wstring() + L"\"");
    }

    std::filesystem::path directory_;
    std::filesystem::path build_;
};

TEST_F(ModuleRegistrationTest, Regsvr32WritesTheScriptsKeysTheTypeLibraryAndTheHostEntry) {
    // A folder name with a single quote: the script doubles it, the registry holds it once.
    const std::filesystem::path folder = directory_ / L"O'Brien";
    std::filesystem::create_directories(folder);
    const std::filesystem::path dll = folder / L"Marupo.dll";
    std::filesystem::copy_file(build_, dll, std::filesystem::copy_options::overwrite_existing);

    ASSERT_EQ(Regsvr32(dll, false), 0u);
    // A key the script does not name, left inside the class key: the next registration
    // rebuilds the class key from scratch.
    HKEY stray = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (std::wstring(kClassKey) + L"\\Stray").c_str(), 0,
                              nullptr, 0, KEY_WRITE, nullptr, &stray, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(stray);
    ASSERT_EQ(Regsvr32(dll, false), 0u);

    struct Value {
        std::wstring key;
        const wchar_t* name;
        std::wstring expected;
    } const values[] = {
        {L"Marupo.MarupoAddin.1", nullptr, L"Marupo Addin Class"},
        {L"Marupo.MarupoAddin.1\\CLSID", nullptr, kClsidText},
        {L"Marupo.MarupoAddin", nullptr, L"Marupo Addin Class"},
        {L"Marupo.MarupoAddin\\CLSID", nullptr, kClsidText},
        {L"Marupo.MarupoAddin\\CurVer", nullptr, L"Marupo.MarupoAddin.1"},
        {kClassKey, nullptr, L"Marupo Addin Class"},
        {std::wstring(kClassKey) + L"\\ProgID", nullptr, L"Marupo.MarupoAddin.1"},
        {std::wstring(kClassKey) + L"\\VersionIndependentProgID", nullptr, L"Marupo.MarupoAddin"},
        {std::wstring(kClassKey) + L"\\InprocServer32", nullptr, dll.wstring()},
        {std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {std::wstring(kClassKey) + L"\\TypeLib", nullptr,
         L"{2F81C6B4-0D9A-4B37-8E52-61A0F3C9D2E8}"},
    };
    for (const Value& v : values) {
        auto value = testing::RegistryString(HKEY_CLASSES_ROOT, v.key, v.name);
        ASSERT_TRUE(value) << std::string(v.key.begin(), v.key.end());
        EXPECT_EQ(*value, v.expected) << std::string(v.key.begin(), v.key.end());
    }
    EXPECT_EQ(Subkeys(kClassKey),
              (std::vector<std::wstring>{L"InprocServer32", L"ProgID", L"Programmable", L"TypeLib",
                                         L"VersionIndependentProgID"}));
    EXPECT_TRUE(Subkeys(std::wstring(kClassKey) + L"\\Programmable").empty());

    // The type library, registered from the DLL's own file.
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409, &library), S_OK);
    BSTR registeredPath = nullptr;
    ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409, &registeredPath), S_OK);
    EXPECT_EQ(_wcsicmp(registeredPath, dll.c_str()), 0);
    SysFreeString(registeredPath);
    library.Reset();

    // The host's add-in registry knows the add-in once, by its display name.
    auto entry = devhost::FindAddin(kClsidText);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->displayName, L"Marupo Addin");
    const auto addins = devhost::ListAddins();
    EXPECT_EQ(std::count_if(addins.begin(), addins.end(),
                            [](const auto& a) { return a.clsid == kClsidText; }),
              1);

    ASSERT_EQ(Regsvr32(dll, true), 0u);
    for (const wchar_t* key : {L"Marupo.MarupoAddin.1", L"Marupo.MarupoAddin", kClassKey}) {
        EXPECT_FALSE(testing::RegistryKeyExists(HKEY_CLASSES_ROOT, key))
            << std::string(key, key + wcslen(key));
    }
    EXPECT_NE(LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409, &library), S_OK);
    EXPECT_FALSE(devhost::FindAddin(kClsidText));

    EXPECT_EQ(Regsvr32(dll, true), 0u) << "unregistering what is not registered";
}

// The machine's HKCR\CLSID holds many other classes, so it would outlive unregistering anyway. A
// classes root of the test's own, empty before, shows that the script keeps the key (NoRemove)
// even when unregistering empties it.
TEST_F(ModuleRegistrationTest, UnregisteringKeepsTheClassesKeyItEmptied) {
    constexpr wchar_t kOwnRoot[] = L"Software\\MarupoRegistrationTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, kOwnRoot);
    HKEY root = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOwnRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &root, nullptr),
              ERROR_SUCCESS);
    using ServerFunction = HRESULT STDAPICALLTYPE();
    testing::LoadedDll dll(build_);
    ServerFunction* registerServer = dll.Export<ServerFunction>("DllRegisterServer");
    ServerFunction* unregisterServer = dll.Export<ServerFunction>("DllUnregisterServer");
    ASSERT_TRUE(registerServer != nullptr && unregisterServer != nullptr);

    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root), ERROR_SUCCESS);
    const HRESULT registered = registerServer();
    const std::vector<std::wstring> classes = Subkeys(L"CLSID");
    const HRESULT unregistered = unregisterServer();
    const bool kept = testing::RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID");
    const std::vector<std::wstring> left = Subkeys(L"CLSID");
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(root);
    RegDeleteTreeW(HKEY_CURRENT_USER, kOwnRoot);

    EXPECT_EQ(registered, S_OK);
    EXPECT_EQ(classes, std::vector<std::wstring>{kClsidText});
    EXPECT_EQ(unregistered, S_OK);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(left.empty());
}

TEST_F(ModuleRegistrationTest, AutomationClientCallsTheAddinLateBoundByProgId) {
    ASSERT_EQ(Regsvr32(build_, false), 0u);
    CLSID clsid = {};
    ASSERT_EQ(CLSIDFromProgID(L"Marupo.MarupoAddin", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_MarupoAddin);
    ComPtr<IDispatch> addin;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &addin), S_OK);

    // The first call loads the type information: a Japanese caller's locale first.
    for (LCID locale : {LCID{0x0411}, LCID{LOCALE_USER_DEFAULT}, LCID{0x0409}}) {
        SCOPED_TRACE(locale);
        OLECHAR name[] = L"GetFrameworkVersion";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        ASSERT_EQ(addin->GetIDsOfNames(IID_NULL, names, 1, locale, &id), S_OK);
        EXPECT_EQ(id, 3);

        long version = 0;
        EXPECT_EQ(testing::InvokeGetFrameworkVersion(addin.Get(), locale, version), S_OK);
        EXPECT_EQ(version, 2);
    }

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(addin->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, IID_IDesktopAddin);
    info->ReleaseTypeAttr(attributes);
}

TEST_F(ModuleRegistrationTest, StandInHostLoadsTheRegisteredAddinAtStartUp) {
    std::ofstream(directory_ / L"book.txt", std::ios::binary)
        << "[book]\n[record 1]\nsurname = 山田\n";
    const std::filesystem::path script = directory_ / L"script.txt";
    // Each command with record 1 selected: only the edit command reads it.
    std::ofstream(script, std::ios::binary) << "register " << build_.u8string() << "\n"
                                            << "load book.txt\n"
                                            << "select 1\n"
                                            << "start\n"
                                            << "dump menu menu.txt\n"
                                            << "invoke Marupo1\n"
                                            << "dump log edit.txt\n"
                                            << "log clear\n"
                                            << "invoke Marupo2\n"
                                            << "dump log log.txt\n";
    const std::wstring devhost = (build_.parent_path() / L"devhost.exe").wstring();
    ASSERT_EQ(testing::RunProgram(L"\"" + devhost + L"\" --hidden --script \"" + script.wstring() +
                                  L"\""),
              0u);

    // The menu items' texts, order and commands are the add-in test's; here the host shows them
    // with their bitmaps.
    std::string menu = ReadFile((directory_ / L"menu.txt").wstring());
    EXPECT_NE(menu.find("\"&Marupo 編集\" bitmap 16x16"), std::string::npos) << menu;
    EXPECT_NE(menu.find("\"&Marupo 新規追加\" bitmap 16x16"), std::string::npos) << menu;

    std::string edit = ReadFile((directory_ / L"edit.txt").wstring());
    EXPECT_NE(edit.find("-- OnInitialize Marupo Addin"), std::string::npos) << edit;
    EXPECT_NE(edit.find("success 1"), std::string::npos);

    // Each command object runs its own command: edit reads the selected record, new does not.
    EXPECT_NE(edit.find("IAddressRecord#1.GetSurname() -> S_OK \"山田\""), std::string::npos)
        << edit;
    EXPECT_NE(edit.find("-- OnCommand Marupo1 -> S_OK"), std::string::npos);
    std::string added = ReadFile((directory_ / L"log.txt").wstring());
    EXPECT_NE(added.find("IAddressBook.GetCurrentCategory() -> S_OK"), std::string::npos) << added;
    EXPECT_EQ(added.find("IAddressRecord#1"), std::string::npos) << added;
    EXPECT_NE(added.find("-- OnCommand Marupo2 -> S_OK"), std::string::npos);
}

}  // namespace
}  // namespace marupo
