#pragma once
// MarupoAddin: the object Palm Desktop creates at start-up. OnInitialize registers the two
// commands with the host's command table; the rest of IDesktopAddin is small.

#include <windows.h>

#include <wrl/client.h>

#include <string>

#include "com/dispatch_object.h"
#include "com/server_module.h"
#include "host/host_interfaces.h"
#include "module/addin_module.h"
#include "module/type_info_cache.h"

namespace marupo {

class MarupoAddin final
    : public com::DispatchObject<IDesktopAddin, LibraryTypeInfo<IDesktopAddin>> {
  public:
    HRESULT STDMETHODCALLTYPE OnInitialize(IDispatch* pUnk, long dwCookie, long dwDesktopVersion,
                                           long lParam, long* pbSuccess) override;
    HRESULT STDMETHODCALLTYPE OnUninitialize() override;
    HRESULT STDMETHODCALLTYPE GetFrameworkVersion(long* plVersion) override;
    HRESULT STDMETHODCALLTYPE ShowAboutBox(long hWndParent) override;
    HRESULT STDMETHODCALLTYPE ShowProperties(long hWndParent) override;

  private:
    void RegisterCommands();
    // Offers one command to the host: AddCommand, and the menu item only when the host took the
    // command with exactly S_OK. Returns the HRESULT of the last host call; raises HostError.
    HRESULT RegisterHostCommand(IDesktopCommand* command, LONG_PTR moduleHandle, const char* name,
                                const std::string& menuText, long bitmapId, long flag,
                                long* commandId);

    long addinCookie_ = 0;
    Microsoft::WRL::ComPtr<IDispatch> hostUnknown_;
    // Declared last, so that destruction gives the lock back before the host pointer goes.
    com::ModuleLock lock_{AddinModule::Instance().Server()};
};

}  // namespace marupo
