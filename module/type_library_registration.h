#pragma once
// The add-in's type library in the system's registry: loaded from the DLL's own file (resource
// TYPELIB 1), or from the file of the same name with the extension ".tlb" beside it.

#include <windows.h>

namespace marupo {

HRESULT RegisterTypeLibrary(HMODULE module);
// Removes the registration when the system offers UnRegisterTypeLib; the result tells what
// happened, callers may ignore it.
HRESULT UnregisterTypeLibrary(HMODULE module);

}  // namespace marupo
