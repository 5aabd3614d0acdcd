// The four functions the DLL exports (module/marupo.def). No exception leaves them: running out
// of memory is E_OUTOFMEMORY.
#include <windows.h>

#include <objbase.h>

#include "com/exception_boundary.h"
#include "module/addin_module.h"
#include "module/self_registration.h"
#include "ui/module_state.h"

using marupo::AddinModule;
using marupo::com::ExceptionBoundary;

STDAPI DllCanUnloadNow() {
    return ExceptionBoundary([] {
        marupo::ui::AddinModuleScope scope;
        return AddinModule::Instance().CanUnload() ? S_OK : S_FALSE;
    });
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ExceptionBoundary(
        [&] { return AddinModule::Instance().Server().GetClassObject(clsid, riid, object); });
}

STDAPI DllRegisterServer() {
    return ExceptionBoundary(
        [] { return marupo::RegisterAddinServer(AddinModule::Instance().Handle()); });
}

STDAPI DllUnregisterServer() {
    return ExceptionBoundary(
        [] { return marupo::UnregisterAddinServer(AddinModule::Instance().Handle()); });
}
