#include "module/type_info_cache.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "module/addin_module.h"
#include "res/marupo_addin.h"

namespace marupo {
namespace {

// The locale the library is built and registered for. The registry finds a library only under
// the caller's exact locale, its language or the neutral one, so a Japanese or default-locale
// caller would never find it there.
constexpr LCID kLibraryLocale = 0x0409;

HRESULT LoadLibraryFor(LCID locale, ITypeLib** library) {
    HRESULT hr = LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, locale, library);
    if (hr == TYPE_E_LIBNOTREGISTERED && locale != kLibraryLocale) {
        hr = LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, kLibraryLocale, library);
    }
    return hr;
}

}  // namespace

HRESULT TypeInfoCache::Get(LCID locale, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    AddinModule& module = AddinModule::Instance();
    com::CriticalSectionScope scope(module.TypeInfoSection());
    if (info_ == nullptr) {
        Microsoft::WRL::ComPtr<ITypeLib> library;
        HRESULT hr = LoadLibraryFor(locale, &library);
        if (FAILED(hr)) return hr;
        ITypeInfo* loaded = nullptr;
        hr = library->GetTypeInfoOfGuid(iid_, &loaded);
        if (FAILED(hr)) return hr;
        if (!module.Terminations().Add(&TypeInfoCache::Forget, this)) {
            loaded->Release();
            return E_OUTOFMEMORY;
        }
        info_ = loaded;
    }
    info_->AddRef();
    *info = info_;
    return S_OK;
}

void TypeInfoCache::Forget(void* cache) {
    auto* self = static_cast<TypeInfoCache*>(cache);
    if (self->info_ != nullptr) self->info_->Release();
    self->info_ = nullptr;
}

}  // namespace marupo
