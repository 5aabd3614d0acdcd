#include "devhost/class_registration.h"

#include "win/module_path.h"
#include "win/registry_key.h"

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
    win::RegistryKey key;
    const LSTATUS status = win::RegistryKey::Root(root).Create(path, KEY_WRITE, key);
    return status == ERROR_SUCCESS ? key.WriteString(name, value) : status;
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
    const win::RegistryKey key = win::RegistryKey::Root(root);
    key.DeleteEmpty(classKey + L"\\InprocServer32");
    key.DeleteEmpty(classKey);
}

// Whether COM's view of the classes names this file as the server.
bool ComSeesServer(const std::wstring& clsidText, const std::wstring& path) {
    win::RegistryKey key;
    if (win::RegistryKey::Root(HKEY_CLASSES_ROOT)
            .Open(ClassKey(clsidText) + L"\\InprocServer32", KEY_READ, key) != ERROR_SUCCESS) {
        return false;
    }
    const auto seen = key.ReadString(L"");
    return seen && _wcsicmp(seen->c_str(), path.c_str()) == 0;
}

}  // namespace

HRESULT RegisterInprocServer(HMODULE module, const std::wstring& clsidText,
                             const std::wstring& description) {
    const std::wstring path = win::ModuleFileName(module);
    if (path.empty()) return E_FAIL;
    LSTATUS status = WriteClass(HKEY_CURRENT_USER, UserClassKey(clsidText), description, path);
    if (status == ERROR_SUCCESS && !ComSeesServer(clsidText, path))
        status = WriteClass(HKEY_CLASSES_ROOT, ClassKey(clsidText), description, path);
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

void UnregisterInprocServer(HMODULE module, const std::wstring& clsidText) {
    DeleteClass(HKEY_CURRENT_USER, UserClassKey(clsidText));
    // What COM still sees of this file after that is the mirror written at registration.
    const std::wstring path = win::ModuleFileName(module);
    if (!path.empty() && ComSeesServer(clsidText, path))
        DeleteClass(HKEY_CLASSES_ROOT, ClassKey(clsidText));
}

}  // namespace marupo::devhost
