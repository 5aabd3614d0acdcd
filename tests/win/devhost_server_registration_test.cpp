// The stand-in host's servers registered as an installer does it, with the machine's own
// regsvr32. On 64-bit Windows that one is 64-bit and must hand a 32-bit DLL over to its twin in
// SysWOW64, so that the class lands in the registry view of the 32-bit processes that load it.
#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <wrl/client.h>

#include <string>

#include "devhost/addin_host.h"
#include "devhost/addin_store.h"
#include "tests/support/child_process.h"

namespace marupo::devhost {
namespace {

constexpr wchar_t kRegistryClsid[] = L"{BE44897A-EB38-11D5-823F-00C04FA03755}";
constexpr wchar_t kTestAddinClsid[] = L"{B845B21F-0F9A-45C5-B91C-07BCAEECFF66}";

bool RunsUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// A 32-bit process sees SysWOW64 under the name System32; the machine's own folder is SysNative.
std::wstring NativeRegsvr32() {
    wchar_t windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows, length) + (RunsUnderWow64() ? L"\\SysNative" : L"\\System32") +
           L"\\regsvr32.exe";
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, length);
}

DWORD RunRegsvr32(const std::wstring& options, const std::wstring& dll) {
    return testing::RunProgram(L"\"" + NativeRegsvr32() + L"\" /s " + options + L"\"" + dll +
                               L"\"");
}

// The server file that COM in this process would load for the class, or "" when it has none.
std::wstring ServerSeenByCom(const std::wstring& clsid) {
    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    LSTATUS status =
        RegGetValueW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid + L"\\InprocServer32").c_str(), nullptr,
                     RRF_RT_REG_SZ, nullptr, server, &size);
    return status == ERROR_SUCCESS ? server : L"";
}

// The 32-bit build is run to execute the shipped code under WoW64, with its registry and file
// system redirection; a run that fell back to anything else would pass without that.
TEST(ServerRegistrationTest, ThirtyTwoBitBuildRunsUnderWow64) {
    EXPECT_EQ(RunsUnderWow64(), sizeof(void*) == 4);
}

TEST(ServerRegistrationTest, MachineRegsvr32RegistersAndRemovesServersOfThisBitness) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    const std::wstring build = ProgramDirectory() + L"..\\";
    struct Server {
        std::wstring dll;
        const wchar_t* clsid;
    };
    // The test add-in announces itself through the registry server, so that one comes first.
    const Server servers[] = {{FullPath(build + L"DesktopAddinRegistry.dll"), kRegistryClsid},
                              {FullPath(build + L"MarupoTestAddin.dll"), kTestAddinClsid}};

    for (const Server& server : servers) {
        SCOPED_TRACE(server.dll);
        ASSERT_EQ(RunRegsvr32(L"", server.dll), 0u);
        EXPECT_EQ(_wcsicmp(ServerSeenByCom(server.clsid).c_str(), server.dll.c_str()), 0)
            << "registered: " << ServerSeenByCom(server.clsid);
    }
    auto announced = FindAddin(kTestAddinClsid);
    ASSERT_TRUE(announced.has_value());
    EXPECT_EQ(announced->displayName, L"Marupo Test Addin");
    CLSID addinClass{};
    ASSERT_EQ(CLSIDFromString(kTestAddinClsid, &addinClass), S_OK);
    Microsoft::WRL::ComPtr<IUnknown> addin;
    EXPECT_EQ(CoCreateInstance(addinClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&addin)),
              S_OK);
    addin.Reset();
    CoFreeUnusedLibrariesEx(0, 0);

    for (auto server = std::rbegin(servers); server != std::rend(servers); ++server) {
        SCOPED_TRACE(server->dll);
        EXPECT_EQ(RunRegsvr32(L"/u ", server->dll), 0u);
        EXPECT_EQ(ServerSeenByCom(server->clsid), L"");
    }
    EXPECT_FALSE(FindAddin(kTestAddinClsid).has_value());
    CoUninitialize();
}

}  // namespace
}  // namespace marupo::devhost
