// The shipped 32-bit DLL as a file: it exports exactly the four server functions, undecorated,
// and carries the registry script, the type library, the version resource and the command
// bitmaps.

#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/desktop_host.h"
#include "res/marupo_addin.h"
#include "tests/support/dialog_template.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

// {3C9E5A17-B2D4-4F68-8A01-7E4D2C6B9F30}
constexpr CLSID kCommandClsid = {
    0x3c9e5a17, 0xb2d4, 0x4f68, {0x8a, 0x01, 0x7e, 0x4d, 0x2c, 0x6b, 0x9f, 0x30}};

std::vector<char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

template <class T>
T At(const std::vector<char>& file, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= file.size()) std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

// The names in a 32-bit PE file's export directory.
std::vector<std::string> ExportedNames(const std::vector<char>& file) {
    const auto dos = At<IMAGE_DOS_HEADER>(file, 0);
    const auto nt = At<IMAGE_NT_HEADERS32>(file, static_cast<size_t>(dos.e_lfanew));
    const IMAGE_DATA_DIRECTORY& directory =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const size_t sections = static_cast<size_t>(dos.e_lfanew) + sizeof(DWORD) +
                            sizeof(IMAGE_FILE_HEADER) + nt.FileHeader.SizeOfOptionalHeader;
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            auto section =
                At<IMAGE_SECTION_HEADER>(file, sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.SizeOfRawData) {
                return rva - section.VirtualAddress + section.PointerToRawData;
            }
        }
        return file.size();
    };
    std::vector<std::string> names;
    if (directory.VirtualAddress == 0) return names;
    const auto exports = At<IMAGE_EXPORT_DIRECTORY>(file, offsetOf(directory.VirtualAddress));
    for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
        DWORD nameRva = At<DWORD>(file, offsetOf(exports.AddressOfNames) + i * sizeof(DWORD));
        size_t offset = offsetOf(nameRva);
        if (offset >= file.size()) break;
        names.emplace_back(file.data() + offset);
    }
    return names;
}

class RegistrationResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = testing::ShippedDllPath();
        if (!std::filesystem::exists(path_)) GTEST_SKIP() << "the 32-bit DLL is not built";
        module_ = std::make_unique<testing::ResourceModule>(path_);
        ASSERT_TRUE(module_->IsOpen());
    }

    std::vector<char> Resource(int id, const wchar_t* type) {
        HRSRC found = FindResourceW(module_->Handle(), MAKEINTRESOURCEW(id), type);
        if (found == nullptr) return {};
        const char* data =
            static_cast<const char*>(LockResource(LoadResource(module_->Handle(), found)));
        return std::vector<char>(data, data + SizeofResource(module_->Handle(), found));
    }

    std::wstring path_;
    std::unique_ptr<testing::ResourceModule> module_;
};

TEST_F(RegistrationResourcesTest, ExportsExactlyTheFourServerFunctionsUndecorated) {
    std::vector<std::string> names = ExportedNames(ReadBytes(path_));
    EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"}));
}

TEST_F(RegistrationResourcesTest, RegistryScriptIsKeptByteForByte) {
    std::vector<char> script = Resource(101, L"REGISTRY");
    ASSERT_FALSE(script.empty());
    EXPECT_EQ(script, ReadBytes(MARUPO_SOURCE_DIR "/res/marupo_addin.rgs"));
    // What the keys hold is the registration test's; here only how the file is laid out.
    std::string text(script.begin(), script.end());
    size_t lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\r')), lines)
        << "every line ends in CR LF";
    EXPECT_EQ(text.find(' ' + std::string("\t")), std::string::npos);
    EXPECT_EQ(text.find("\n "), std::string::npos) << "indented with TABs";
}

TEST_F(RegistrationResourcesTest, TypeLibraryDescribesTheAddinAndCommandClasses) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(path_.c_str(), REGKIND_NONE, &library), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid,
              GUID({0x2f81c6b4, 0x0d9a, 0x4b37, {0x8e, 0x52, 0x61, 0xa0, 0xf3, 0xc9, 0xd2, 0xe8}}));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    EXPECT_EQ(attributes->syskind, SYS_WIN32);
    library->ReleaseTLibAttr(attributes);

    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"MarupoAddinLib");
    EXPECT_STREQ(help, L"Marupo Palm Desktop Addin 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(help);

    // Each entry's help string; methods by name with their dispatch ids.
    const GUID addin = CLSID_MarupoAddin, command = kCommandClsid;
    struct Entry {
        const GUID& type;
        const wchar_t* member;  // none: the type itself
        MEMBERID id;
        const wchar_t* help;
    } const entries[] = {
        {addin, nullptr, MEMBERID_NIL, L"MarupoAddin Class"},
        {command, nullptr, MEMBERID_NIL, L"Marupo1Command Class"},
        {IID_IDesktopAddin, nullptr, MEMBERID_NIL, L"IDesktopAddin Interface"},
        {IID_IDesktopAddin, L"OnInitialize", 1, L"method OnInitialize"},
        {IID_IDesktopAddin, L"OnUninitialize", 2, L"method OnUninitialize"},
        {IID_IDesktopAddin, L"GetFrameworkVersion", 3, L"method GetFrameworkVersion"},
        {IID_IDesktopAddin, L"ShowAboutBox", 4, L"method ShowAboutBox"},
        {IID_IDesktopAddin, L"ShowProperties", 5, L"method ShowProperties"},
        {IID_IDesktopCommand, nullptr, MEMBERID_NIL, L"IDesktopCommand Interface"},
        {IID_IDesktopCommand, L"OnCommand", 1, L"method OnCommand"},
    };
    for (const Entry& e : entries) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(e.type, &info), S_OK) << e.help;
        MEMBERID id = MEMBERID_NIL;
        if (e.member != nullptr) {
            std::wstring member = e.member;
            LPOLESTR names[] = {member.data()};
            ASSERT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK) << e.help;
        }
        EXPECT_EQ(id, e.id) << e.help;
        ASSERT_EQ(info->GetDocumentation(id, nullptr, &help, nullptr, nullptr), S_OK);
        EXPECT_STREQ(help, e.help);
        SysFreeString(help);
    }

    // Both classes are creatable, each with its dual, automation-compatible default interface.
    struct Class {
        const GUID& clsid;
        const IID& defaultInterface;
    } const classes[] = {{addin, IID_IDesktopAddin}, {command, IID_IDesktopCommand}};
    for (const Class& c : classes) {
        ComPtr<ITypeInfo> coclass, dispatch, vtable;
        ASSERT_EQ(library->GetTypeInfoOfGuid(c.clsid, &coclass), S_OK);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->typekind, TKIND_COCLASS);
        EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCANCREATE);
        EXPECT_EQ(type->cImplTypes, 1);
        coclass->ReleaseTypeAttr(type);
        INT flags = 0;
        EXPECT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
        HREFTYPE reference = 0;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, &dispatch), S_OK);
        // The vtable side of the dual interface.
        ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
        ASSERT_EQ(dispatch->GetRefTypeInfo(reference, &vtable), S_OK);
        ASSERT_EQ(vtable->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->guid, c.defaultInterface);
        EXPECT_EQ(type->typekind, TKIND_INTERFACE);
        EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        vtable->ReleaseTypeAttr(type);
    }
}

TEST_F(RegistrationResourcesTest, VersionResourceCarriesEveryKey) {
    DWORD size = GetFileVersionInfoSizeW(path_.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path_.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000009u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, DWORD{VFT_DLL});
    EXPECT_EQ(fixed->dwFileOS, DWORD{VOS__WINDOWS32});

    struct Key {
        const wchar_t* name;
        const wchar_t* value;
    } const keys[] = {
        {L"AddinClsid", L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}"},
        {L"OLESelfRegister", L""},
        {L"FileDescription", L"Marupo PalmDesktop Addin Module"},
        {L"ProductName", L"Marupo PalmDesktop Addin Module"},
        {L"InternalName", L"Marupo"},
        {L"OriginalFilename", L"Marupo.DLL"},
        {L"FileVersion", L"0, 9, 6, 0"},
        {L"ProductVersion", L"1, 0, 0, 0"},
        {L"Comments", L""},
        {L"PrivateBuild", L""},
        {L"SpecialBuild", L""},
        {L"CompanyName", L"Marupo Project"},
        {L"LegalCopyright", L"Copyright (C) 2026 Marupo Project"},
        {L"LegalTrademarks", L"Marupo Project"},
    };
    for (const Key& key : keys) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key.name;
        wchar_t* value = nullptr;
        length = 0;
        ASSERT_TRUE(
            VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << "missing " << std::string(key.name, key.name + wcslen(key.name));
        EXPECT_STREQ(length > 0 ? value : L"", key.value);
    }
}

TEST_F(RegistrationResourcesTest, CommandBitmapsAreSixteenColourIconsOnLightGrey) {
    struct Pixels {
        std::vector<RGBQUAD> colours;  // row by row from the top
    };
    auto decode = [&](int id) {
        Pixels result;
        std::vector<char> bitmap = Resource(id, MAKEINTRESOURCEW(2));  // RT_BITMAP
        auto info = At<BITMAPINFOHEADER>(bitmap, 0);
        EXPECT_EQ(info.biWidth, 16) << id;
        EXPECT_EQ(info.biHeight, 16) << id;
        EXPECT_EQ(info.biBitCount, 4) << id;
        if (bitmap.empty() || info.biBitCount != 4 || info.biHeight != 16) return result;
        size_t palette = info.biSize;
        size_t bits = palette + 16 * sizeof(RGBQUAD);
        for (int y = 15; y >= 0; --y) {  // stored bottom-up
            for (int x = 0; x < 16; ++x) {
                auto byte = static_cast<unsigned char>(bitmap[bits + y * 8 + x / 2]);
                int index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
                result.colours.push_back(At<RGBQUAD>(bitmap, palette + index * sizeof(RGBQUAD)));
            }
        }
        return result;
    };
    auto is = [](RGBQUAD c, int r, int g, int b) {
        return c.rgbRed == r && c.rgbGreen == g && c.rgbBlue == b;
    };
    Pixels edit = decode(201);
    Pixels added = decode(312);
    ASSERT_EQ(edit.colours.size(), 256u);
    ASSERT_EQ(added.colours.size(), 256u);
    for (int corner : {0, 15, 240, 255}) {
        EXPECT_TRUE(is(edit.colours[corner], 192, 192, 192)) << "background at " << corner;
    }
    bool red = false, yellow = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            RGBQUAD a = edit.colours[y * 16 + x], b = added.colours[y * 16 + x];
            bool same = std::memcmp(&a, &b, sizeof a) == 0;
            if (y >= 8 || x < 8) {
                EXPECT_TRUE(same) << "differs outside the star at " << x << "," << y;
            }
            red |= !same && is(b, 255, 0, 0);
            yellow |= !same && is(b, 255, 255, 0);
        }
    }
    EXPECT_TRUE(red && yellow) << "a red-and-yellow star at the top right";
}

}  // namespace
}  // namespace marupo
