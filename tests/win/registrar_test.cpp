#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registrar/registry_script_win32.h"
#include "registrar/script_hresult.h"
#include "tests/support/unique_name.h"
#include "tests/win/registrar_test_ids.h"

namespace marupo::registrar {
namespace {

// A DLL path as a Japanese user may have it: a quote and characters whose second Shift-JIS byte
// is a backslash.
const std::wstring kModulePath = L"C:\\Users\\O'Neil\\ソフト表\\Marupo.dll";

std::wstring Quoted(const std::wstring& text) {
    std::wstring doubled;
    for (const wchar_t c : text) doubled += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
    return doubled;
}

class RegistrarWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string unique = testing::UniqueName("MarupoRegistrarTest");
        name_.assign(unique.begin(), unique.end());
        path_ = L"Software\\" + name_;
        replacements_ = {{L"KEY", name_}, {L"MODULE", Quoted(kModulePath)}};
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    bool Exists(const std::wstring& subkey) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // The value's type and bytes; type 0 when it cannot be read.
    static std::pair<DWORD, std::vector<BYTE>> Read(const std::wstring& subkey,
                                                    const wchar_t* name) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_ANY, &type, nullptr,
                         &size) != ERROR_SUCCESS)
            return {0, {}};
        std::vector<BYTE> bytes(size);
        RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_ANY, &type, bytes.data(),
                     &size);
        return {type, bytes};
    }
    static std::wstring ReadString(const std::wstring& subkey, const wchar_t* name) {
        const auto [type, bytes] = Read(subkey, name);
        if (type != REG_SZ || bytes.size() < sizeof(wchar_t)) return L"<not a string>";
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t) - 1);
    }

    std::wstring name_;
    std::wstring path_;
    Replacements replacements_;
};

TEST_F(RegistrarWin32Test, ScriptWritesTypedValuesRebuildsItsKeyAndUnregistersIt) {
    const std::wstring script =
        L"HKCU { NoRemove Software { ForceRemove '%KEY%' { InprocServer32 = s '%MODULE%' {\r\n"
        L"\tval ThreadingModel = s 'Apartment'\r\n\tval Count = d ' 42 '\r\n"
        L"\tval Bytes = b '00fF7a' } } } }";
    const std::wstring server = path_ + L"\\InprocServer32";
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (path_ + L"\\Stale").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &stale, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(stale);

    for (int time = 1; time <= 2; ++time) {
        ASSERT_EQ(RegisterScript(script, replacements_), S_OK) << "registration " << time;
        EXPECT_FALSE(Exists(path_ + L"\\Stale"));
        EXPECT_EQ(ReadString(server, nullptr), kModulePath);
        EXPECT_EQ(ReadString(server, L"ThreadingModel"), L"Apartment");
        const DWORD count = 42;
        EXPECT_EQ(Read(server, L"Count"),
                  std::make_pair(DWORD{REG_DWORD},
                                 std::vector<BYTE>(reinterpret_cast<const BYTE*>(&count),
                                                   reinterpret_cast<const BYTE*>(&count + 1))));
        EXPECT_EQ(Read(server, L"Bytes"),
                  std::make_pair(DWORD{REG_BINARY}, std::vector<BYTE>{0x00, 0xff, 0x7a}));
    }

    EXPECT_EQ(UnregisterScript(script, replacements_), S_OK);
    EXPECT_FALSE(Exists(path_));
    EXPECT_TRUE(Exists(L"Software"));
    EXPECT_EQ(UnregisterScript(script, replacements_), S_OK);
}

TEST_F(RegistrarWin32Test, ShiftJisResourceRoundTripsJapaneseNames) {
    const HMODULE self = GetModuleHandleW(nullptr);
    ASSERT_EQ(RegisterScriptResource(self, IDR_REGISTRAR_TEST, replacements_), S_OK);
    EXPECT_EQ(ReadString(path_ + L"\\ソフト表示", nullptr), kModulePath);
    EXPECT_EQ(ReadString(path_ + L"\\ソフト表示", L"種類"), L"予定表");

    EXPECT_EQ(UnregisterScriptResource(self, IDR_REGISTRAR_TEST, replacements_), S_OK);
    EXPECT_FALSE(Exists(path_));
    EXPECT_EQ(RegisterScriptResource(self, IDR_REGISTRAR_TEST + 1, replacements_),
              HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(RegistrarWin32Test, FailuresAreReportedAndAMalformedScriptWritesNothing) {
    EXPECT_EQ(RegisterScript(L"HKCU { Software { '%KEY%' } }\r\nHKCU { x = s 'y' ", replacements_),
              ScriptErrorHresult(ScriptError::kMissingCloseBrace));
    EXPECT_EQ(ScriptErrorHresult(ScriptError::kMissingCloseBrace), 0x80040203);
    EXPECT_FALSE(Exists(path_));

    // Below a volatile key only volatile keys may be created.
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_WRITE, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    EXPECT_EQ(RegisterScript(L"HKCU { Software { '%KEY%' { Child } } }", replacements_),
              HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
}

}  // namespace
}  // namespace marupo::registrar
