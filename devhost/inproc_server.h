#pragma once
// The exports of the stand-in host's in-process servers (its add-in registry, the test add-in),
// written once: DllMain, DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
// DllUnregisterServer. A DLL that links them says what it serves by defining
// ThisInprocServer(). No exception leaves an export: it comes back as its HRESULT.

#include <windows.h>

#include "com/server_module.h"

namespace marupo::devhost {

struct InprocServer {
    com::ServerModule& (*module)();
    const wchar_t* clsidText;    // the one class the DLL registers, braced
    const wchar_t* description;  // the class's registry description
    // Tells others about the DLL once its class is registered (`add`), or withdraws it before
    // the class goes; null when there is no one to tell. Withdrawing cannot fail the export.
    HRESULT (*announce)(bool add);
};

// Defined by each DLL that links the exports.
const InprocServer& ThisInprocServer();

// The DLL's module handle, known once the DLL is loaded.
HINSTANCE InprocServerModule();

}  // namespace marupo::devhost
