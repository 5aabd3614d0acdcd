// A stand-in for Marupo.dll whose self-registration fails, as a DLL blocked from the registry
// would: the installer built with it shows what a failed registration leaves behind.

#include <olectl.h>
#include <windows.h>

extern "C" {

STDAPI DllCanUnloadNow() {
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    if (object != nullptr) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer() {
    return SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
    return S_OK;
}
}
