#include "module/self_registration.h"

#include "com/exception_boundary.h"
#include "module/host_announcement.h"
#include "module/registration_paths.h"
#include "module/type_library_registration.h"
#include "registrar/registry_script_win32.h"
#include "res/registration.h"
#include "ui/module_state.h"
#include "win/module_path.h"

namespace marupo {
namespace {

// The script's one replacement: the DLL's path, quoted for the script text.
registrar::Replacements ScriptReplacements(HMODULE module) {
    return {{L"MODULE", QuotedForScript(win::ModuleFileName(module))}};
}

}  // namespace

HRESULT RegisterAddinServer(HMODULE module) {
    HRESULT hr =
        registrar::RegisterScriptResource(module, IDR_MARUPO_ADDIN, ScriptReplacements(module));
    if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(module);
    if (hr == S_OK) AnnounceToHost();
    return hr;
}

HRESULT UnregisterAddinServer(HMODULE module) {
    // Each step runs whatever became of the one before.
    const HRESULT script = com::ExceptionBoundary([&] {
        registrar::UnregisterScriptResource(module, IDR_MARUPO_ADDIN, ScriptReplacements(module));
        return S_OK;
    });
    const HRESULT library = com::ExceptionBoundary([&] {
        UnregisterTypeLibrary(module);
        return S_OK;
    });
    WithdrawFromHost();
    return FAILED(script) ? script : library;
}

}  // namespace marupo
