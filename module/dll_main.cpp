#include <windows.h>

#include "module/addin_module.h"
#include "ui/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        marupo::ui::SetAddinModule(instance);
        marupo::AddinModule::Instance().Start(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        marupo::AddinModule::Instance().Stop();
    }
    return TRUE;
}
