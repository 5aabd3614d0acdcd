#pragma once
// DllRegisterServer and DllUnregisterServer of the add-in: the class registration from the
// registry script, the type library, and the add-in's entry in the host's add-in registry.

#include <windows.h>

namespace marupo {

// S_OK, or the first failing HRESULT of the script or the type library; the host learns of
// the add-in only after complete success. Running out of memory raises std::bad_alloc.
HRESULT RegisterAddinServer(HMODULE module);
// Removes all three, whatever each step reports: S_OK, unless the script or the type library
// could not be taken on at all (E_OUTOFMEMORY when memory ran out), since part of the
// registration may then be left. The host's entry goes silently, as it came.
HRESULT UnregisterAddinServer(HMODULE module);

}  // namespace marupo
