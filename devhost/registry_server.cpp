// DesktopAddinRegistry.dll: the host's add-in registry as an in-process COM server. Add-ins
// announce themselves here when they register; the host loads what is listed at start-up.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "devhost/addin_store.h"
#include "devhost/class_registration.h"
#include "devhost/dispatch_object.h"
#include "host/desktop_host.h"

namespace marupo::devhost {
namespace {

HINSTANCE g_module = nullptr;
std::atomic<long> g_locks{0};

// {BE44897A-EB38-11D5-823F-00C04FA03755}
constexpr CLSID kRegistryClsid = {
    0xbe44897a, 0xeb38, 0x11d5, {0x82, 0x3f, 0x00, 0xc0, 0x4f, 0xa0, 0x37, 0x55}};
constexpr wchar_t kClsidText[] = L"{BE44897A-EB38-11D5-823F-00C04FA03755}";

void SetError(const IID& iid, const wchar_t* description) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) return;
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"DevHost.AddinRegistry"));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

std::wstring Text(BSTR value) {
    return value != nullptr ? std::wstring(value, SysStringLen(value)) : L"";
}

// Every object of the server keeps the module loaded while it lives.
template <class Interface>
class RegistryObject : public DispatchObject<Interface> {
  public:
    RegistryObject() { ++g_locks; }

  protected:
    ~RegistryObject() override { --g_locks; }
};

#define UNUSED_SLOT(n)                                 \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { \
        return E_NOTIMPL;                              \
    }

class AddinEntry final : public RegistryObject<IDesktopAddinEntry> {
  public:
    explicit AddinEntry(std::wstring clsid) : clsid_(std::move(clsid)) {}
    HRESULT STDMETHODCALLTYPE Remove() override {
        LSTATUS status = RemoveAddin(clsid_);
        if (status == ERROR_SUCCESS) return S_OK;
        if (status == ERROR_FILE_NOT_FOUND) return S_FALSE;  // already gone
        SetError(IID_IDesktopAddinEntry, L"アドインの登録を削除できません。");
        return HRESULT_FROM_WIN32(status);
    }
    UNUSED_SLOT(7)
    UNUSED_SLOT(8)
    UNUSED_SLOT(9)
    UNUSED_SLOT(10)
    UNUSED_SLOT(11)
    UNUSED_SLOT(12)
    UNUSED_SLOT(13)
    UNUSED_SLOT(14)
    UNUSED_SLOT(15)
    UNUSED_SLOT(16)

  private:
    std::wstring clsid_;
};

HRESULT HandOutEntry(const std::wstring& clsid, IDesktopAddinEntry** entry) {
    auto* created = new (std::nothrow) AddinEntry(clsid);
    if (created == nullptr) return E_OUTOFMEMORY;
    created->AddRef();
    *entry = created;
    return S_OK;
}

class AddinRegistry final : public RegistryObject<IDesktopAddinRegistry> {
  public:
    HRESULT STDMETHODCALLTYPE RegisterAddin(BSTR clsid, BSTR displayName,
                                            IDesktopAddinEntry** entry) override {
        if (entry == nullptr) return E_POINTER;
        *entry = nullptr;
        std::wstring canonical;
        if (HRESULT hr = Canonical(clsid, canonical); FAILED(hr)) return hr;
        LSTATUS status = PutAddin(canonical, Text(displayName));
        if (status != ERROR_SUCCESS) {
            SetError(IID_IDesktopAddinRegistry, L"アドインを登録できません。");
            return HRESULT_FROM_WIN32(status);
        }
        return HandOutEntry(canonical, entry);
    }

    HRESULT STDMETHODCALLTYPE FindAddin(BSTR clsid, IDesktopAddinEntry** entry) override {
        if (entry == nullptr) return E_POINTER;
        *entry = nullptr;
        std::wstring canonical;
        if (HRESULT hr = Canonical(clsid, canonical); FAILED(hr)) return hr;
        // Not registered: success with no entry.
        if (!devhost::FindAddin(canonical)) return S_OK;
        return HandOutEntry(canonical, entry);
    }

    UNUSED_SLOT(7)
    UNUSED_SLOT(8)
    UNUSED_SLOT(9)
    UNUSED_SLOT(10)
    UNUSED_SLOT(11)
    UNUSED_SLOT(12)
    UNUSED_SLOT(13)
    UNUSED_SLOT(14)
    UNUSED_SLOT(15)
    UNUSED_SLOT(16)
    UNUSED_SLOT(18)

  private:
    // The CLSID text in its stored form; E_INVALIDARG with error information when malformed.
    static HRESULT Canonical(BSTR clsid, std::wstring& canonical) {
        auto parsed = CanonicalClsid(Text(clsid));
        if (!parsed) {
            SetError(IID_IDesktopAddinRegistry, L"CLSID の形式が正しくありません。");
            return E_INVALIDARG;
        }
        canonical = std::move(*parsed);
        return S_OK;
    }
};
#undef UNUSED_SLOT

class ClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // A static object: its references are the module lock.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_locks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_locks); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* registry = new (std::nothrow) AddinRegistry();
        if (registry == nullptr) return E_OUTOFMEMORY;
        registry->AddRef();
        HRESULT hr = registry->QueryInterface(riid, object);
        registry->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace
}  // namespace marupo::devhost

using namespace marupo::devhost;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (clsid != kRegistryClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() {
    return g_locks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return RegisterInprocServer(g_module, kClsidText, L"Marupo DevHost Add-in Registry");
}

STDAPI DllUnregisterServer() {
    UnregisterInprocServer(g_module, kClsidText);
    return S_OK;
}
