#pragma once
// The host's list of add-ins, kept per user in the registry:
//   HKEY_CURRENT_USER\Software\MarupoDevHost\Addins\{CLSID}   (default value = display name)
// The add-in registry object writes it; the host reads it at start-up.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace marupo::devhost {

inline constexpr wchar_t kAddinsKey[] = L"Software\\MarupoDevHost\\Addins";

struct AddinRegistration {
    std::wstring clsid;  // "{XXXXXXXX-...}", upper case
    std::wstring displayName;
};

// "{...}" in the canonical upper-case form, or nothing when the text is no CLSID.
std::optional<std::wstring> CanonicalClsid(const std::wstring& text);

std::vector<AddinRegistration> ListAddins();
std::optional<AddinRegistration> FindAddin(const std::wstring& clsid);
LSTATUS PutAddin(const std::wstring& clsid, const std::wstring& displayName);
// ERROR_FILE_NOT_FOUND when it was not registered.
LSTATUS RemoveAddin(const std::wstring& clsid);

}  // namespace marupo::devhost
