#include "devhost/addin_store.h"

#include <objbase.h>

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

// How many registrations the key of `canonicalClsid` stands for: 0 without the key.
DWORD Count(const std::wstring& canonicalClsid) {
    const std::wstring path = KeyPath(canonicalClsid);
    DWORD count = 0;
    DWORD size = sizeof count;
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Count", RRF_RT_REG_DWORD,
                                        nullptr, &count, &size);
    if (status == ERROR_SUCCESS) return count;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

}  // namespace

std::vector<AddinRegistration> ListAddins() {
    std::vector<AddinRegistration> addins;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kAddinsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return addins;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[64];
        DWORD length = 64;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (auto found = FindAddin(name)) addins.insert(addins.end(), Count(name), *found);
    }
    RegCloseKey(key);
    return addins;
}

std::optional<AddinRegistration> FindAddin(const std::wstring& clsid) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return std::nullopt;
    const std::wstring path = KeyPath(*canonical);
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                                  value, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        // The key without a name still counts as a registration.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegCloseKey(key);
        value[0] = L'\0';
    } else if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return AddinRegistration{*canonical, value};
}

LSTATUS AddAddin(const std::wstring& clsid, const std::wstring& displayName) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return ERROR_INVALID_PARAMETER;
    const DWORD count = Count(*canonical) + 1;
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(*canonical).c_str(), 0, nullptr, 0,
                                     KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(displayName.c_str()),
                       static_cast<DWORD>((displayName.size() + 1) * sizeof(wchar_t)));
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                                sizeof count);
    }
    RegCloseKey(key);
    return status;
}

LSTATUS RemoveAddin(const std::wstring& clsid) {
    auto canonical = CanonicalClsid(clsid);
    if (!canonical) return ERROR_INVALID_PARAMETER;
    const std::wstring path = KeyPath(*canonical);
    const DWORD count = Count(*canonical);
    if (count <= 1) return RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    const DWORD left = count - 1;
    return RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Count", REG_DWORD, &left,
                           sizeof left);
}

}  // namespace marupo::devhost
