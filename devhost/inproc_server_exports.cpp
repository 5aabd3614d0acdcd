#include <windows.h>

#include <objbase.h>

#include "com/exception_boundary.h"
#include "devhost/class_registration.h"
#include "devhost/inproc_server.h"

namespace marupo::devhost {
namespace {

HINSTANCE g_module = nullptr;

}  // namespace

HINSTANCE InprocServerModule() {
    return g_module;
}

}  // namespace marupo::devhost

using marupo::com::ExceptionBoundary;
using marupo::devhost::InprocServerModule;
using marupo::devhost::ThisInprocServer;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        marupo::devhost::g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        ThisInprocServer().module().ReleaseClassObjects();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ExceptionBoundary(
        [&] { return ThisInprocServer().module().GetClassObject(clsid, riid, object); });
}

STDAPI DllCanUnloadNow() {
    return ExceptionBoundary(
        [] { return ThisInprocServer().module().LockCount() == 0 ? S_OK : S_FALSE; });
}

STDAPI DllRegisterServer() {
    return ExceptionBoundary([] {
        const auto& server = ThisInprocServer();
        HRESULT hr = marupo::devhost::RegisterInprocServer(InprocServerModule(), server.clsidText,
                                                           server.description);
        if (FAILED(hr) || server.announce == nullptr) return hr;
        return server.announce(true);
    });
}

STDAPI DllUnregisterServer() {
    return ExceptionBoundary([] {
        const auto& server = ThisInprocServer();
        if (server.announce != nullptr) server.announce(false);
        marupo::devhost::UnregisterInprocServer(InprocServerModule(), server.clsidText);
        return S_OK;
    });
}
