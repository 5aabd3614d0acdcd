#pragma once
// The common part of every host object: IUnknown with a plain reference count (the host is
// apartment-threaded), an IDispatch that offers no type information, ISupportErrorInfo for the
// object's own interface, and HostCall, which logs each call and applies the fault rules.

#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <new>
#include <string>

#include "devhost/host_state.h"

namespace marupo::devhost {

// Sets the thread's error information (or clears it when there is no description).
void SetHostErrorInfo(const IID& iid, const std::u16string* description);
BSTR AllocBstr(const std::u16string& text);
std::u16string FromBstr(BSTR text);  // null reads as empty
std::string RenderBstr(BSTR text);   // quoted, or `null`

// One host call from start to result. Construct it first thing in a method, add the arguments,
// then ask Injected(): when a fault rule decided the call, return InjectedResult() at once.
class HostCall {
  public:
    HostCall(HostState& state, const IID& iid, const char* interfaceName, int recordId,
             const char* method);
    HostCall& Arg(long value);
    HostCall& Arg(BSTR value);
    HostCall& ArgText(std::string rendered);

    bool Injected() const { return action_.kind != FaultAction::Kind::kProceed; }
    bool InjectedNull() const { return action_.kind == FaultAction::Kind::kNullResult; }
    HRESULT InjectedResult();

    HRESULT Fail(HRESULT hr, const std::u16string& description);
    HRESULT Succeed(std::string outValue = {});

  private:
    HostState& state_;
    const IID& iid_;
    size_t index_;
    FaultAction action_;
    bool decided_ = false;
};

template <class Interface>
class HostObject : public Interface, public ISupportErrorInfo {
  public:
    HostObject(std::shared_ptr<HostState> state, const char* interfaceName)
        : state_(std::move(state)), interfaceName_(interfaceName) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
        } else if (riid == IID_ISupportErrorInfo) {
            *object = static_cast<ISupportErrorInfo*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == __uuidof(Interface) && state_->errorInfoSupported ? S_OK : S_FALSE;
    }

    // Hands out a new object as `Result`; the caller owns the reference.
    template <class Object, class Result, class... Args>
    static Microsoft::WRL::ComPtr<Result> Make(Args&&... args) {
        Microsoft::WRL::ComPtr<Result> result;
        auto* object = new (std::nothrow) Object(std::forward<Args>(args)...);
        if (object != nullptr) result = static_cast<Result*>(object);
        return result;
    }

  protected:
    virtual ~HostObject() = default;
    HostCall Call(const char* method, int recordId = 0) {
        return HostCall(*state_, __uuidof(Interface), interfaceName_, recordId, method);
    }
    HRESULT Unused(const char* method) {
        return Call(method).Fail(E_NOTIMPL, u"not provided by this host");
    }

    std::shared_ptr<HostState> state_;

  private:
    const char* interfaceName_;
    ULONG references_ = 0;
};

}  // namespace marupo::devhost
