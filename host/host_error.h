#pragma once
// The error object of a failed host call. Every call on the host's interfaces goes through the
// wrappers in host/host_call.h, which raise HostError for a failing HRESULT; the commands catch
// it around their whole run and report it to the user.

#include <windows.h>

#include <oaidl.h>

#include <exception>
#include <string>
#include <utility>

namespace marupo {

// The COM error information the host attached to a failure (IErrorInfo), copied out so the
// error object stays a plain value.
struct HostErrorInfo {
    std::wstring description;
    std::wstring source;
    std::wstring helpFile;
    DWORD helpContext = 0;
    GUID interfaceId = GUID_NULL;  // the IID the host reported the error for
};

class HostError : public std::exception {
  public:
    // A failure known only by its HRESULT (a failed QueryInterface, a missing interface).
    explicit HostError(HRESULT hr);
    // A failed call on a host interface, with the error information it attached (if any).
    HostError(HRESULT hr, const char* interfaceName, const IID& interfaceId, bool hasInfo,
              HostErrorInfo info);

    HRESULT Result() const { return hr_; }
    // Empty name and GUID_NULL when the error carries only its HRESULT.
    const std::string& InterfaceName() const { return interfaceName_; }
    const IID& InterfaceId() const { return interfaceId_; }
    bool HasErrorInfo() const { return hasInfo_; }
    const HostErrorInfo& ErrorInfo() const { return info_; }
    // The host's description of the failure; empty when it attached none.
    const std::wstring& Description() const { return info_.description; }
    // The description moved out of the error, which keeps an empty one: no allocation, so that
    // it can still be shown when memory has run out.
    std::wstring TakeDescription() noexcept { return std::move(info_.description); }

    const char* what() const noexcept override { return what_.c_str(); }

  private:
    HRESULT hr_;
    std::string interfaceName_;
    IID interfaceId_ = GUID_NULL;
    bool hasInfo_ = false;
    HostErrorInfo info_;
    std::string what_;
};

// Raises the error for a failed call on `object` through interface `interfaceId`. The error
// information is taken (and thereby cleared) only when the object declares through
// ISupportErrorInfo that it sets it for that interface: otherwise what the thread holds may be
// left over from an unrelated call.
[[noreturn]] void RaiseHostError(HRESULT hr, IUnknown* object, const char* interfaceName,
                                 const IID& interfaceId);

// The system's message text for an HRESULT (language neutral/default), without the final
// line break; a fallback text when the system has none.
std::wstring HostErrorMessageText(HRESULT hr);

}  // namespace marupo
