#include "host/host_error.h"

#include <wrl/client.h>

#include <cstdio>
#include <utility>

#include "host/bstr.h"
#include "host/error_text.h"
#include "win/unique_handle.h"

namespace marupo {
namespace {

std::string DescribeFailure(HRESULT hr, const std::string& interfaceName) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    if (interfaceName.empty()) return std::string("host call failed with ") + code;
    return interfaceName + " call failed with " + code;
}

// The thread's current error information, when the object says it sets it for this interface.
bool TakeErrorInfo(IUnknown* object, const IID& interfaceId, HostErrorInfo& info) {
    if (object == nullptr) return false;
    Microsoft::WRL::ComPtr<ISupportErrorInfo> support;
    if (FAILED(object->QueryInterface(IID_ISupportErrorInfo,
                                      reinterpret_cast<void**>(support.GetAddressOf()))) ||
        !support) {
        return false;
    }
    if (support->InterfaceSupportsErrorInfo(interfaceId) != S_OK) return false;
    Microsoft::WRL::ComPtr<IErrorInfo> errorInfo;
    if (GetErrorInfo(0, errorInfo.GetAddressOf()) != S_OK || !errorInfo) return false;

    UniqueBstr text;
    if (SUCCEEDED(errorInfo->GetDescription(text.Put()))) info.description = BstrText(text);
    if (SUCCEEDED(errorInfo->GetSource(text.Put()))) info.source = BstrText(text);
    if (SUCCEEDED(errorInfo->GetHelpFile(text.Put()))) info.helpFile = BstrText(text);
    if (FAILED(errorInfo->GetHelpContext(&info.helpContext))) info.helpContext = 0;
    if (FAILED(errorInfo->GetGUID(&info.interfaceId))) info.interfaceId = GUID_NULL;
    return true;
}

}  // namespace

HostError::HostError(HRESULT hr) : hr_(hr), what_(DescribeFailure(hr, {})) {}

HostError::HostError(HRESULT hr, const char* interfaceName, const IID& interfaceId, bool hasInfo,
                     HostErrorInfo info)
    : hr_(hr),
      interfaceName_(interfaceName != nullptr ? interfaceName : ""),
      interfaceId_(interfaceId),
      hasInfo_(hasInfo),
      info_(std::move(info)),
      what_(DescribeFailure(hr, interfaceName_)) {}

void RaiseHostError(HRESULT hr, IUnknown* object, const char* interfaceName,
                    const IID& interfaceId) {
    HostErrorInfo info;
    const bool hasInfo = TakeErrorInfo(object, interfaceId, info);
    throw HostError(hr, interfaceName, interfaceId, hasInfo, std::move(info));
}

std::wstring HostErrorMessageText(HRESULT hr) {
    // Given back however the copy below ends.
    win::UniqueLocalBuffer buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
    if (length == 0 || !buffer) return FallbackErrorText(static_cast<std::int32_t>(hr));
    return TrimMessageLineEnd(std::wstring(buffer.Get(), length));
}

}  // namespace marupo
