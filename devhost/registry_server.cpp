// DesktopAddinRegistry.dll: the host's add-in registry as an in-process COM server. Add-ins
// announce themselves here when they register; the host loads what is listed at start-up.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

#include "com/error_info.h"
#include "com/error_info_object.h"
#include "com/server_module.h"
#include "devhost/addin_store.h"
#include "devhost/inproc_server.h"
#include "devhost/unused_slots.h"
#include "host/bstr.h"
#include "host/desktop_host.h"

namespace marupo::devhost {
namespace {

void SetError(const IID& iid, const wchar_t* description) {
    com::SetCallErrorInfo(iid, L"DevHost.AddinRegistry", description);
}

com::ServerModule& Server();

// Every object of the server keeps the module loaded while it lives. Both interfaces leave
// slots 7 to 16 unprovided.
template <class Interface>
class RegistryObject : public com::ErrorInfoObject<Interface> {
  public:
    UNUSED_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16)

  protected:
    static HRESULT Unused(const char*) { return E_NOTIMPL; }

  private:
    com::ModuleLock lock_{Server()};
};

class AddinEntry final : public RegistryObject<IDesktopAddinEntry> {
  public:
    explicit AddinEntry(std::wstring clsid) : clsid_(std::move(clsid)) {}
    // Removes the one registration this entry stands for, once.
    HRESULT STDMETHODCALLTYPE Remove() override {
        if (removed_) return S_FALSE;
        LSTATUS status = RemoveAddin(clsid_);
        removed_ = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
        if (status == ERROR_SUCCESS) return S_OK;
        if (status == ERROR_FILE_NOT_FOUND) return S_FALSE;  // already gone
        SetError(IID_IDesktopAddinEntry, L"アドインの登録を削除できません。");
        return HRESULT_FROM_WIN32(status);
    }

  private:
    std::wstring clsid_;
    bool removed_ = false;
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
        LSTATUS status = AddAddin(canonical, BstrText(displayName));
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

    UNUSED_SLOT(18)

  private:
    // The CLSID text in its stored form; E_INVALIDARG with error information when malformed.
    static HRESULT Canonical(BSTR clsid, std::wstring& canonical) {
        auto parsed = CanonicalClsid(BstrText(clsid));
        if (!parsed) {
            SetError(IID_IDesktopAddinRegistry, L"CLSID の形式が正しくありません。");
            return E_INVALIDARG;
        }
        canonical = std::move(*parsed);
        return S_OK;
    }
};

com::ServerModule& Server() {
    static com::ServerModule server(
        {{CLSID_DesktopAddinRegistry, &com::CreateInstance<AddinRegistry>, false}});
    return server;
}

}  // namespace

const InprocServer& ThisInprocServer() {
    static const InprocServer server{&Server, L"{BE44897A-EB38-11D5-823F-00C04FA03755}",
                                     L"Marupo DevHost Add-in Registry", nullptr};
    return server;
}

}  // namespace marupo::devhost
