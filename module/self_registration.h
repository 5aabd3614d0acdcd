#pragma once
// DllRegisterServer and DllUnregisterServer of the add-in: the class registration from the
// registry script, the type library, and the add-in's entry in the host's add-in registry.

#include <windows.h>

namespace marupo {

// S_OK, or the first failing HRESULT of the script or the type library; the host learns of
// the add-in only after complete success.
HRESULT RegisterAddinServer(HMODULE module);
// Removes all three, ignoring what fails.
void UnregisterAddinServer(HMODULE module);

}  // namespace marupo
