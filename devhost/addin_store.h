#pragma once
// The host's list of add-ins, kept per user in the registry:
//   HKEY_CURRENT_USER\Software\MarupoDevHost\Addins\{CLSID}
//   (default value = display name, "Count" = how many times it is registered, 1 when absent)
// Like the host's own list, it keeps a second registration of an add-in already registered (the
// host then loads it twice), so an add-in removes its old entry before it registers again. The
// add-in registry object writes it; the host reads it at start-up.

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

// Every registration, a duplicate as often as it was made.
std::vector<AddinRegistration> ListAddins();
std::optional<AddinRegistration> FindAddin(const std::wstring& clsid);
// One more registration of `clsid`; the display name is the latest one given.
LSTATUS AddAddin(const std::wstring& clsid, const std::wstring& displayName);
// One registration less; ERROR_FILE_NOT_FOUND when there was none.
LSTATUS RemoveAddin(const std::wstring& clsid);

}  // namespace marupo::devhost
