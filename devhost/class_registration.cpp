#include "devhost/class_registration.h"

namespace marupo::devhost {
namespace {

std::wstring ClassKey(const std::wstring& clsidText) {
    return L"CLSID\\" + clsidText;
}
std::wstring UserClassKey(const std::wstring& clsidText) {
    return L"Software\\Classes\\" + ClassKey(clsidText);
}

LSTATUS SetString(HKEY root, const std::wstring& path, const wchar_t* name,
                  const std::wstring& value) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

LSTATUS WriteClass(HKEY root, const std::wstring& classKey, const std::wstring& description,
                   const std::wstring& path) {
    LSTATUS status = SetString(root, classKey, nullptr, description);
    if (status == ERROR_SUCCESS)
        status = SetString(root, classKey + L"\\InprocServer32", nullptr, path);
    if (status == ERROR_SUCCESS) {
        status = SetString(root, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    return status;
}

void DeleteClass(HKEY root, const std::wstring& classKey) {
    RegDeleteKeyW(root, (classKey + L"\\InprocServer32").c_str());
    RegDeleteKeyW(root, classKey.c_str());
}

bool ModulePath(HMODULE module, std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    path.assign(buffer, length);
    return true;
}

// Whether COM's view of the classes names this file as the server.
bool ComSeesServer(const std::wstring& clsidText, const std::wstring& path) {
    wchar_t seen[MAX_PATH] = {};
    DWORD size = sizeof seen;
    return RegGetValueW(HKEY_CLASSES_ROOT, (ClassKey(clsidText) + L"\\InprocServer32").c_str(),
                        nullptr, RRF_RT_REG_SZ, nullptr, seen, &size) == ERROR_SUCCESS &&
           _wcsicmp(seen, path.c_str()) == 0;
}

}  // namespace

HRESULT RegisterInprocServer(HMODULE module, const std::wstring& clsidText,
                             const std::wstring& description) {
    std::wstring path;
    if (!ModulePath(module, path)) return E_FAIL;
    LSTATUS status = WriteClass(HKEY_CURRENT_USER, UserClassKey(clsidText), description, path);
    if (status == ERROR_SUCCESS && !ComSeesServer(clsidText, path))
        status = WriteClass(HKEY_CLASSES_ROOT, ClassKey(clsidText), description, path);
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

void UnregisterInprocServer(HMODULE module, const std::wstring& clsidText) {
    DeleteClass(HKEY_CURRENT_USER, UserClassKey(clsidText));
    // What COM still sees of this file after that is the mirror written at registration.
    std::wstring path;
    if (ModulePath(module, path) && ComSeesServer(clsidText, path))
        DeleteClass(HKEY_CLASSES_ROOT, ClassKey(clsidText));
}

}  // namespace marupo::devhost
