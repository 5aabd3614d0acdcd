#pragma once
// Registry scripts run against the real registry: the add-in's self-registration.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace marupo::registrar {
// Name (without the percent signs) and value of one replacement; the value is inserted into
// the script text as it is, so a value that goes inside single quotes must have its quotes
// doubled by the caller.
using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;
// Runs the registry script resource `resourceId` (resource type "REGISTRY", ANSI text) of
// `module` against the real registry. S_OK, or the failing HRESULT.
HRESULT RegisterScriptResource(HMODULE module, UINT resourceId, const Replacements& replacements);
HRESULT UnregisterScriptResource(HMODULE module, UINT resourceId, const Replacements& replacements);
// The same on script text, for tests and tools.
HRESULT RegisterScript(const std::wstring& script, const Replacements& replacements);
HRESULT UnregisterScript(const std::wstring& script, const Replacements& replacements);
}  // namespace marupo::registrar
