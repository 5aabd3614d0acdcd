// A minimal add-in for testing the stand-in host: one command, "TestStamp", with a 16x16 bitmap
// in the Address menu. The command appends a stamp to the note of the first selected record, or
// creates a stamped record in the view's category when nothing is selected. Every call from the
// host is appended to the file named by MARUPO_TEST_ADDIN_TRACE, so that tests can see it.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <new>
#include <string>

#include "com/dispatch_object.h"
#include "com/server_module.h"
#include "devhost/inproc_server.h"
#include "host/bstr.h"
#include "host/desktop_host.h"
#include "tests/addin/test_addin_ids.h"

using marupo::BstrText;
using marupo::UniqueBstr;
using Microsoft::WRL::ComPtr;
namespace com = marupo::com;

namespace {

// {B845B21F-0F9A-45C5-B91C-07BCAEECFF66}
constexpr CLSID kTestAddinClsid = {
    0xb845b21f, 0x0f9a, 0x45c5, {0xb9, 0x1c, 0x07, 0xbc, 0xae, 0xec, 0xff, 0x66}};
constexpr wchar_t kClsidText[] = L"{B845B21F-0F9A-45C5-B91C-07BCAEECFF66}";

void Trace(const std::string& line) {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"MARUPO_TEST_ADDIN_TRACE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    FILE* file = _wfopen(path, L"ab");
    if (file == nullptr) return;
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

com::ServerModule& Server();

// Every object of the add-in keeps its DLL loaded while it lives.
template <class Interface>
class Dispatch : public com::DispatchObject<Interface> {
  private:
    com::ModuleLock lock_{Server()};
};

HRESULT AddressBookOf(IUnknown* host, ComPtr<IAddressBook>* book) {
    ComPtr<IDesktopApplication> application;
    HRESULT hr = host != nullptr ? host->QueryInterface(IID_PPV_ARGS(&application)) : E_POINTER;
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> unknown;
    hr = application->GetAddressBook(&unknown);
    if (FAILED(hr)) return hr;
    if (!unknown) return E_POINTER;
    return unknown.As(book);
}

class StampCommand final : public Dispatch<IDesktopCommand> {
  public:
    explicit StampCommand(IUnknown* host) : host_(host) {}
    ~StampCommand() override { Trace("command released"); }

    HRESULT STDMETHODCALLTYPE OnCommand() override {
        HRESULT hr = Run();
        Trace("OnCommand TestStamp " + Hex(hr));
        return hr;
    }

  private:
    HRESULT Run() {
        ComPtr<IAddressBook> book;
        HRESULT hr = AddressBookOf(host_.Get(), &book);
        if (FAILED(hr)) return hr;
        ComPtr<IAddressRecords> selection;
        if (FAILED(hr = book->GetSelection(&selection))) return hr;
        if (!selection) return E_POINTER;
        long count = 0;
        if (FAILED(hr = selection->GetCount(&count))) return hr;
        ComPtr<IAddressRecord> record;
        if (count > 0) {
            if (FAILED(hr = selection->GetItem(0, &record))) return hr;
            if (!record) return E_POINTER;
            UniqueBstr note;
            if (FAILED(hr = record->GetNote(note.Put()))) return hr;
            UniqueBstr stamped(SysAllocString((BstrText(note) + L"[スタンプ]").c_str()));
            return record->SetNote(stamped.Get());
        }
        UniqueBstr view;
        if (FAILED(hr = book->GetCurrentCategory(view.Put()))) return hr;
        UniqueBstr category(
            SysAllocString(BstrText(view) == L"All" ? L"未分類" : BstrText(view).c_str()));
        UniqueBstr given(SysAllocString(L"押印"));
        UniqueBstr surname(SysAllocString(L"テスト"));
        if (FAILED(hr = book->AddRecord(category.Get(), given.Get(), surname.Get(), &record))) {
            return hr;
        }
        if (!record) return E_POINTER;
        UniqueBstr note(SysAllocString(L"[スタンプ]"));
        return record->SetNote(note.Get());
    }

    ComPtr<IUnknown> host_;
};

class TestAddin final : public Dispatch<IDesktopAddin> {
  public:
    ~TestAddin() override { Trace("addin released"); }

    HRESULT STDMETHODCALLTYPE OnInitialize(IDispatch* host, long cookie, long, long,
                                           long* success) override {
        Trace("OnInitialize cookie " + std::to_string(cookie));
        host_ = host;
        cookie_ = cookie;
        HRESULT hr = Register();
        if (FAILED(hr)) Trace("OnInitialize failed " + Hex(hr));
        if (success != nullptr) *success = SUCCEEDED(hr) ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUninitialize() override {
        Trace("OnUninitialize");
        cookie_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFrameworkVersion(long* version) override {
        if (version == nullptr) return E_POINTER;
        *version = 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowAboutBox(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowProperties(long) override { return S_OK; }

  private:
    HRESULT Register() {
        ComPtr<IDesktopApplication> application;
        HRESULT hr = host_ ? host_.As(&application) : E_POINTER;
        if (FAILED(hr)) return hr;
        ComPtr<IDesktopCommandTable> table;
        if (FAILED(hr = application->GetCommandTable(&table))) return hr;
        if (!table) return E_POINTER;
        ComPtr<IDesktopCommand> command = new (std::nothrow) StampCommand(host_.Get());
        if (!command) return E_OUTOFMEMORY;
        UniqueBstr name(SysAllocString(L"TestStamp"));
        long id = 0;
        if (FAILED(hr = table->AddCommand(cookie_, name.Get(), command.Get(), &id))) return hr;
        if (hr != S_OK) return hr;
        UniqueBstr text(SysAllocString(kTestStampMenuText));
        return table->AddMenuItem(id,
                                  reinterpret_cast<LONG_PTR>(marupo::devhost::InprocServerModule()),
                                  kTestStampBitmap, text.Get(), 1);
    }

    ComPtr<IDispatch> host_;
    long cookie_ = 0;
};

com::ServerModule& Server() {
    static com::ServerModule server({{kTestAddinClsid, &com::CreateInstance<TestAddin>, false}});
    return server;
}

// Tells the host's add-in registry about this add-in, or withdraws it.
HRESULT Announce(bool add) {
    ComPtr<IDesktopAddinRegistry> registry;
    HRESULT hr =
        CoCreateInstance(CLSID_DesktopAddinRegistry, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&registry));
    if (FAILED(hr)) return hr;
    UniqueBstr clsid(SysAllocString(kClsidText));
    ComPtr<IDesktopAddinEntry> entry;
    if (FAILED(hr = registry->FindAddin(clsid.Get(), &entry))) return hr;
    if (entry && FAILED(hr = entry->Remove())) return hr;
    if (!add) return S_OK;
    entry.Reset();
    UniqueBstr name(SysAllocString(L"Marupo Test Addin"));
    return registry->RegisterAddin(clsid.Get(), name.Get(), &entry);
}

}  // namespace

const marupo::devhost::InprocServer& marupo::devhost::ThisInprocServer() {
    static const InprocServer server{&Server, kClsidText, L"Marupo Test Addin", &Announce};
    return server;
}
