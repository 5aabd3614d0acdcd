#include "module/type_library_registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "module/registration_paths.h"
#include "ui/module_state.h"
#include "win/module_path.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

HRESULT LoadOwnTypeLibrary(HMODULE module, ComPtr<ITypeLib>& library, std::wstring& path) {
    path = win::ModuleFileName(module);
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT hr = LoadTypeLib(path.c_str(), &library);
    if (SUCCEEDED(hr)) return hr;
    path = WithExtension(path, L".tlb");
    return LoadTypeLib(path.c_str(), &library);
}

// The attributes of a loaded library, released with it.
class LibraryAttributes {
  public:
    explicit LibraryAttributes(ITypeLib* library) : library_(library) {
        if (FAILED(library_->GetLibAttr(&attributes_))) attributes_ = nullptr;
    }
    ~LibraryAttributes() {
        if (attributes_ != nullptr) library_->ReleaseTLibAttr(attributes_);
    }
    LibraryAttributes(const LibraryAttributes&) = delete;
    LibraryAttributes& operator=(const LibraryAttributes&) = delete;
    const TLIBATTR* Get() const { return attributes_; }

  private:
    ITypeLib* library_;
    TLIBATTR* attributes_ = nullptr;
};

}  // namespace

HRESULT RegisterTypeLibrary(HMODULE module) {
    ComPtr<ITypeLib> library;
    std::wstring path;
    HRESULT hr = LoadOwnTypeLibrary(module, library, path);
    if (FAILED(hr)) return hr;
    std::wstring helpDirectory = DirectoryOf(path);
    return RegisterTypeLib(library.Get(), path.data(),
                           helpDirectory.empty() ? nullptr : helpDirectory.data());
}

HRESULT UnregisterTypeLibrary(HMODULE module) {
    using Unregister = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    // Looked up at run time: older systems' automation library may lack it. The DLL imports
    // that library, so it is loaded already.
    HMODULE automation = GetModuleHandleW(L"oleaut32.dll");
    auto unregister = automation != nullptr ? reinterpret_cast<Unregister>(reinterpret_cast<void*>(
                                                  GetProcAddress(automation, "UnRegisterTypeLib")))
                                            : nullptr;
    if (unregister == nullptr) return S_FALSE;
    ComPtr<ITypeLib> library;
    std::wstring path;
    HRESULT hr = LoadOwnTypeLibrary(module, library, path);
    if (FAILED(hr)) return hr;
    LibraryAttributes attributes(library.Get());
    if (attributes.Get() == nullptr) return E_FAIL;
    const TLIBATTR& a = *attributes.Get();
    return unregister(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
}

}  // namespace marupo
