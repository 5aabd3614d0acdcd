#pragma once
// The common part of every host object: the shared COM object shape without type information
// (add-ins call the host through its vtables), error information that can be switched off, and
// HostCall, which logs each call and applies the fault rules.

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <memory>
#include <new>
#include <string>

#include "com/error_info_object.h"
#include "devhost/host_state.h"
#include "host/host_interfaces.h"

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

    // Hands a newly made object out through `out`, logged as `outValue`; out of memory when the
    // object could not be made.
    template <class Made, class Out>
    HRESULT HandOut(Microsoft::WRL::ComPtr<Made> made, Out** out, std::string outValue) {
        if (!made) return Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        *out = made.Detach();
        return Succeed(std::move(outValue));
    }

  private:
    HostState& state_;
    const IID& iid_;
    size_t index_;
    FaultAction action_;
    bool decided_ = false;
};

template <class Interface>
class HostObject : public com::ErrorInfoObject<Interface> {
  public:
    explicit HostObject(std::shared_ptr<HostState> state) : state_(std::move(state)) {
        ++state_->liveObjects;
    }
    ~HostObject() override { --state_->liveObjects; }
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    // Hands out a new object as `Result`; the caller owns the reference.
    template <class Object, class Result, class... Args>
    static Microsoft::WRL::ComPtr<Result> Make(Args&&... args) {
        Microsoft::WRL::ComPtr<Result> result;
        auto* object = new (std::nothrow) Object(std::forward<Args>(args)...);
        if (object != nullptr) result = static_cast<Result*>(object);
        return result;
    }

  protected:
    bool SupportsErrorInfo() const override { return state_->errorInfoSupported; }
    HostCall Call(const char* method, int recordId = 0) {
        return HostCall(*state_, __uuidof(Interface), HostInterfaceName<Interface>::value, recordId,
                        method);
    }
    HRESULT Unused(const char* method) {
        return Call(method).Fail(E_NOTIMPL, u"not provided by this host");
    }
    // A getter that hands out an object made by `make` (logged as `outValue`) once the call may
    // go ahead: a null out-pointer is refused, then the fault rules decide.
    template <class Out, class Make>
    HRESULT HandOutMade(const char* method, Out** out, Make make, const char* outValue) {
        HostCall call = Call(method);
        if (out == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *out = nullptr;
        if (call.Injected()) return call.InjectedResult();
        return call.HandOut(make(), out, outValue);
    }

    std::shared_ptr<HostState> state_;
};

}  // namespace marupo::devhost
