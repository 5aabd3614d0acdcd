#pragma once
// Reading what registration wrote: a string value and whether a key exists, in the registry view
// of the test program's own bitness unless `view` names the other one (KEY_WOW64_64KEY).

#include <windows.h>

#include <optional>
#include <string>

namespace marupo::testing {

inline std::optional<std::wstring> RegistryString(HKEY root, const std::wstring& key,
                                                  const wchar_t* name = nullptr) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

inline bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

}  // namespace marupo::testing
