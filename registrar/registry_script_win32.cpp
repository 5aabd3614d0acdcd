#include "registrar/registry_script_win32.h"

#include <string_view>

#include "registrar/script_hresult.h"
#include "registrar/script_parser.h"
#include "registrar/script_runner.h"
#include "registrar/win32_registry.h"
#include "text/encoding.h"

namespace marupo::registrar {
namespace {

enum class Direction { kRegister, kUnregister };

HRESULT LastErrorHresult() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// The resource's ANSI text up to its end or a terminating NUL, in UTF-16.
HRESULT LoadScript(HMODULE module, UINT resourceId, std::wstring& script) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"REGISTRY");
    if (found == nullptr) return LastErrorHresult();
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return LastErrorHresult();
    std::string_view text(static_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    try {
        script = text::MultiByteToWide(CP_ACP, text);
    } catch (const text::ConversionError& error) {
        return HRESULT_FROM_WIN32(error.Code());
    }
    return S_OK;
}

HRESULT Run(const std::wstring& script, const Replacements& replacements, Direction direction) {
    const ParseResult parsed = ParseScript(script, replacements);
    if (parsed.error != ScriptError::kNone) return ScriptErrorHresult(parsed.error);
    Win32Registry registry;
    const RegistryStatus status = direction == Direction::kRegister
                                      ? RunRegister(registry, parsed.script)
                                      : RunUnregister(registry, parsed.script);
    return status == kRegistryOk ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT RunResource(HMODULE module, UINT resourceId, const Replacements& replacements,
                    Direction direction) {
    std::wstring script;
    const HRESULT loaded = LoadScript(module, resourceId, script);
    return FAILED(loaded) ? loaded : Run(script, replacements, direction);
}

}  // namespace

HRESULT RegisterScriptResource(HMODULE module, UINT resourceId, const Replacements& replacements) {
    return RunResource(module, resourceId, replacements, Direction::kRegister);
}

HRESULT UnregisterScriptResource(HMODULE module, UINT resourceId,
                                 const Replacements& replacements) {
    return RunResource(module, resourceId, replacements, Direction::kUnregister);
}

HRESULT RegisterScript(const std::wstring& script, const Replacements& replacements) {
    return Run(script, replacements, Direction::kRegister);
}

HRESULT UnregisterScript(const std::wstring& script, const Replacements& replacements) {
    return Run(script, replacements, Direction::kUnregister);
}

}  // namespace marupo::registrar
