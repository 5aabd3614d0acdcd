#pragma once
// Registration of an in-process COM server for the current user only, so that no administrator
// is needed: HKEY_CURRENT_USER\Software\Classes\CLSID\{...}. Windows shows per-user classes to
// COM through HKEY_CLASSES_ROOT; where that view does not include them (Wine), the class is
// written there as well, so that CoCreateInstance finds it.

#include <windows.h>

#include <string>

namespace marupo::devhost {

// `clsidText` in registry form, with braces. Apartment-threaded.
HRESULT RegisterInprocServer(HMODULE module, const std::wstring& clsidText,
                             const std::wstring& description);
// Removes what RegisterInprocServer wrote, including the mirror of it.
void UnregisterInprocServer(HMODULE module, const std::wstring& clsidText);

}  // namespace marupo::devhost
