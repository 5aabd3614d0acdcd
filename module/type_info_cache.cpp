#include "module/type_info_cache.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "module/addin_module.h"
#include "res/marupo_addin.h"

namespace marupo {

HRESULT TypeInfoCache::Get(LCID locale, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    AddinModule& module = AddinModule::Instance();
    com::CriticalSectionScope scope(module.TypeInfoSection());
    if (info_ == nullptr) {
        Microsoft::WRL::ComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, locale, &library);
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
