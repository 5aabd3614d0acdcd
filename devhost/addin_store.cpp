#include "devhost/addin_store.h"

#include <objbase.h>

#include "win/registry_key.h"

namespace marupo::devhost {

std::optional<std::wstring> CanonicalClsid(const std::wstring& text) {
    CLSID clsid;
    // CLSIDFromString also accepts ProgIDs; only the braced form is a registry name here.
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return std::nullopt;
    if (FAILED(CLSIDFromString(text.c_str(), &clsid))) return std::nullopt;
    wchar_t canonical[40] = {};
    if (StringFromGUID2(clsid, canonical, 40) == 0) return std::nullopt;
    return std::wstring(canonical);
}

namespace {

std::wstring KeyPath(const std::wstring& canonicalClsid) {
    return std::wstring(kAddinsKey) + L"\\" + canonicalClsid;
}

win::RegistryKey UserRoot() {
    return win::RegistryKey::Root(HKEY_CURRENT_USER);
}

// The key of `canonicalClsid`, open for reading; closed when there is none.
win::RegistryKey OpenAddinKey(const std::wstring& canonicalClsid) {
    win::RegistryKey key;
    UserRoot().Open(KeyPath(canonicalClsid), KEY_READ, key);
    return key;
}

// How many registrations the key stands for: 0 without the key, 1 without its count.
DWORD Count(const win::RegistryKey& key) {
    if (!key.IsOpen()) return 0;
    return key.ReadDword(L"Count").value_or(1);
}

}  // namespace

std::vector<AddinRegistration> ListAddins() {
    std::vector<AddinRegistration> addins;
    win::RegistryKey key;
    if (UserRoot().Open(kAddinsKey, KEY_READ, key) != ERROR_SUCCESS) return addins;
    for (const std::wstring& name : key.SubkeyNames()) {
        if (auto found = FindAddin(name))
            addins.insert(addins.end(), Count(OpenAddinKey(name)), *found);
    }
    return addins;
}

std::optional<AddinRegistration> FindAddin(const std::wstring& clsid) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return std::nullopt;
    const win::RegistryKey key = OpenAddinKey(*canonical);
    if (!key.IsOpen()) return std::nullopt;
    // The key without a name still counts as a registration.
    return AddinRegistration{*canonical, key.ReadString(L"").value_or(std::wstring())};
}

LSTATUS AddAddin(const std::wstring& clsid, const std::wstring& displayName) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return ERROR_INVALID_PARAMETER;
    const DWORD count = Count(OpenAddinKey(*canonical)) + 1;
    win::RegistryKey key;
    LSTATUS status = UserRoot().Create(KeyPath(*canonical), KEY_WRITE, key);
    if (status != ERROR_SUCCESS) return status;
    status = key.WriteString(L"", displayName);
    if (status == ERROR_SUCCESS) status = key.WriteDword(L"Count", count);
    return status;
}

LSTATUS RemoveAddin(const std::wstring& clsid) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return ERROR_INVALID_PARAMETER;
    const std::wstring path = KeyPath(*canonical);
    {
        win::RegistryKey key;
        UserRoot().Open(path, KEY_READ | KEY_WRITE, key);
        const DWORD count = Count(key);
        if (count > 1) return key.WriteDword(L"Count", count - 1);
    }
    return UserRoot().DeleteEmpty(path);
}

}  // namespace marupo::devhost
