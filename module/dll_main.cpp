#include <windows.h>

#include "module/addin_module.h"
#include "ui/module_state.h"

#ifdef MARUPO_ALLOCATION_FAULTS
#include "tests/allocation_faults/failing_allocation.h"
#endif

namespace {

bool g_started = false;  // the module object was built at process attach

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        marupo::ui::SetAddinModule(instance);
#ifdef MARUPO_ALLOCATION_FAULTS
        ArmAllocationFaultAtLoad();
#endif
        try {
            marupo::AddinModule::Instance().Start(instance);
        } catch (...) {
            // Out of memory for the module object: the load fails, as the loader expects, rather
            // than the host that loads the add-in.
            return FALSE;
        }
        g_started = true;
    } else if (reason == DLL_PROCESS_DETACH) {
        // A failed attach is followed by a detach, with no module object to stop.
        if (g_started) marupo::AddinModule::Instance().Stop();
    }
    return TRUE;
}
