#include "devhost/host_object.h"

#include "com/error_info.h"

#include "devhost/host_methods.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {

void SetHostErrorInfo(const IID& iid, const std::u16string* description) {
    if (description == nullptr) {
        com::ClearCallErrorInfo();
        return;
    }
    std::wstring text(description->begin(), description->end());
    com::SetCallErrorInfo(iid, L"DevHost.Desktop", text.c_str());
}

BSTR AllocBstr(const std::u16string& text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
}

std::u16string FromBstr(BSTR text) {
    if (text == nullptr) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

std::string RenderBstr(BSTR text) {
    return text == nullptr ? "null" : QuoteText(FromBstr(text));
}

HostCall::HostCall(HostState& state, const IID& iid, const char* interfaceName, int recordId,
                   const char* method)
    : state_(state),
      iid_(iid),
      index_(state.log.Begin(interfaceName, recordId, method)),
      action_(state.faults.Decide(interfaceName, method)) {}

HostCall& HostCall::Arg(long value) {
    return ArgText(std::to_string(value));
}
HostCall& HostCall::Arg(BSTR value) {
    return ArgText(RenderBstr(value));
}
HostCall& HostCall::ArgText(std::string rendered) {
    state_.log.AddArgument(index_, std::move(rendered));
    return *this;
}

HRESULT HostCall::InjectedResult() {
    if (action_.kind == FaultAction::Kind::kNullResult) {
        SetErrorInfo(0, nullptr);
        return Succeed("null (injected)");
    }
    // A success code injected in place of the call leaves no error behind.
    const std::u16string* description =
        action_.description && FAILED(action_.hr) ? &*action_.description : nullptr;
    SetHostErrorInfo(iid_, description);
    state_.log.Finish(index_, action_.hr, "(injected)");
    return action_.hr;
}

HRESULT HostCall::Fail(HRESULT hr, const std::u16string& description) {
    SetHostErrorInfo(iid_, &description);
    state_.log.Finish(index_, hr, QuoteText(description));
    return hr;
}

HRESULT HostCall::Succeed(std::string outValue) {
    state_.log.Finish(index_, S_OK, std::move(outValue));
    return S_OK;
}

}  // namespace marupo::devhost
