#include <windows.h>

#include "ui/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        marupo::ui::SetAddinModule(instance);
    }
    return TRUE;
}
