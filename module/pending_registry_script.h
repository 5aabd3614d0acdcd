#pragma once
// TEMPORARY: the registry-script engine's entry points until the engine exists. Registration
// fails honestly with E_NOTIMPL instead of claiming a class it did not write.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace marupo::registrar {

using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

inline HRESULT RegisterScriptResource(HMODULE, UINT, const Replacements&) {
    return E_NOTIMPL;
}
inline HRESULT UnregisterScriptResource(HMODULE, UINT, const Replacements&) {
    return E_NOTIMPL;
}

}  // namespace marupo::registrar
