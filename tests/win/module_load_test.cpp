// The add-in DLL as the host gets it: it loads with nothing but Windows' own DLLs beside it,
// and its resources are there.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/addin_dll.h"

namespace marupo {
namespace {

TEST(ModuleLoadTest, DllLoadsAndCarriesItsResources) {
    const auto path = testing::AddinDllPath();
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    testing::LoadedDll addin(path);
    ASSERT_NE(addin.Handle(), nullptr) << "LoadLibrary failed with " << addin.Error();

    wchar_t key[64] = {};
    ASSERT_GT(LoadStringW(addin.Handle(), 108, key, 64), 0);
    EXPECT_STREQ(key, L"SOFTWARE\\Orlenta\\Marupo");
    for (int dialog : {303, 309}) {
        EXPECT_NE(FindResourceW(addin.Handle(), MAKEINTRESOURCEW(dialog), MAKEINTRESOURCEW(5)),
                  nullptr)
            << "dialog " << dialog;
    }
    EXPECT_NE(FindResourceW(addin.Handle(), MAKEINTRESOURCEW(308), MAKEINTRESOURCEW(4)), nullptr);
}

}  // namespace
}  // namespace marupo
