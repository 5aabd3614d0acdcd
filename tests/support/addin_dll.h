#pragma once
// The add-in DLL of this build, loaded into the test program as the host would load it.

#include <windows.h>

#include <oleauto.h>

#include <filesystem>

#include "win/module_path.h"

namespace marupo::testing {

// The build directory: the tests' own folder lies in it.
inline std::filesystem::path BuildDirectory() {
    return std::filesystem::path(win::ModuleFileName(nullptr)).parent_path().parent_path();
}

// Marupo.dll in the build directory.
inline std::filesystem::path AddinDllPath() {
    return BuildDirectory() / L"Marupo.dll";
}

class LoadedDll {
  public:
    explicit LoadedDll(const std::filesystem::path& path)
        : module_(LoadLibraryW(path.c_str())), error_(module_ == nullptr ? GetLastError() : 0) {}
    ~LoadedDll() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;

    HMODULE Handle() const { return module_; }
    DWORD Error() const { return error_; }
    // An exported function, typed; null when the DLL does not export it.
    template <class Function>
    Function* Export(const char* name) const {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_;
    DWORD error_;
};

// Asks the add-in object for its framework version through IDispatch (dispatch id 3,
// GetFrameworkVersion); `version` receives it.
inline HRESULT InvokeGetFrameworkVersion(IDispatch* addin, LCID locale, long& version) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4 | VT_BYREF;
    argument.plVal = &version;
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    return addin->Invoke(3, IID_NULL, locale, DISPATCH_METHOD, &parameters, nullptr, &exception,
                         &badArgument);
}

}  // namespace marupo::testing
