// The four functions the DLL exports (module/marupo.def).
#include <windows.h>

#include <objbase.h>

#include "module/addin_module.h"
#include "module/self_registration.h"
#include "ui/module_state.h"

using marupo::AddinModule;

STDAPI DllCanUnloadNow() {
    marupo::ui::AddinModuleScope scope;
    return AddinModule::Instance().CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return AddinModule::Instance().Server().GetClassObject(clsid, riid, object);
}

STDAPI DllRegisterServer() {
    return marupo::RegisterAddinServer(AddinModule::Instance().Handle());
}

STDAPI DllUnregisterServer() {
    marupo::UnregisterAddinServer(AddinModule::Instance().Handle());
    return S_OK;
}
