#pragma once
// A DispatchObject that declares through ISupportErrorInfo that its failures carry error
// information for its own interface (set with SetCallErrorInfo, com/error_info.h).

#include <windows.h>

#include <oleauto.h>

#include "com/dispatch_object.h"

namespace marupo::com {

template <class Interface, class TypeInfo = NoTypeInfo>
class ErrorInfoObject : public DispatchObject<Interface, TypeInfo>, public ISupportErrorInfo {
    using Base = DispatchObject<Interface, TypeInfo>;

  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Base::QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Base::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Base::Release(); }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == __uuidof(Interface) && SupportsErrorInfo() ? S_OK : S_FALSE;
    }

  protected:
    void* FindInterface(REFIID riid) override {
        if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
        return Base::FindInterface(riid);
    }
    virtual bool SupportsErrorInfo() const { return true; }
};

}  // namespace marupo::com
