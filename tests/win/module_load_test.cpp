// The add-in DLL as the host gets it: it loads with nothing but Windows' own DLLs beside it,
// and its resources are there.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace marupo {
namespace {

std::filesystem::path AddinDll() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path() / L"Marupo.dll";
}

class LoadedAddin {
  public:
    explicit LoadedAddin(const std::filesystem::path& path)
        : module_(LoadLibraryW(path.c_str())), error_(module_ == nullptr ? GetLastError() : 0) {}
    ~LoadedAddin() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    LoadedAddin(const LoadedAddin&) = delete;
    LoadedAddin& operator=(const LoadedAddin&) = delete;
    HMODULE Handle() const { return module_; }
    DWORD Error() const { return error_; }

  private:
    HMODULE module_;
    DWORD error_;
};

TEST(ModuleLoadTest, DllLoadsAndCarriesItsResources) {
    const auto path = AddinDll();
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    LoadedAddin addin(path);
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
