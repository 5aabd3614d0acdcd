#include "com/class_factory.h"

namespace marupo::com {

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
    ULONG count = ++references_;
    // The first reference is the module's own; the first one beyond it locks the module.
    if (count == 2) module_.Lock();
    return count;
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    ULONG count = --references_;
    if (count == 1) module_.Unlock();
    if (count == 0) delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid,
                                                       void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr && (riid != IID_IUnknown || !entry_.aggregatable)) {
        return CLASS_E_NOAGGREGATION;
    }
    return entry_.create(outer, riid, object);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        module_.Lock();
    } else {
        module_.Unlock();
    }
    return S_OK;
}

}  // namespace marupo::com
