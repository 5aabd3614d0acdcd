#include "module/marupo_addin.h"

#include <new>

#include "com/exception_boundary.h"
#include "entry/host_text.h"
#include "host/host_call.h"
#include "module/address_command.h"
#include "res/registration.h"
#include "res/strings.h"
#include "ui/message_box.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr long kFrameworkVersion = 2;
// What the host is asked to do with the menu item; it interprets the value itself.
constexpr long kMenuItemFlag = 1;

// A new command object holding its own reference to the host pointer.
template <class Command>
ComPtr<IDesktopCommand> MakeCommand(IDispatch* hostUnknown) {
    ComPtr<IDesktopCommand> command = new (std::nothrow) Command(hostUnknown);
    if (!command) throw HostError(E_OUTOFMEMORY);
    return command;
}

HWND ParentWindow(long handle) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

void ShowPlaceholder(long hWndParent, const wchar_t* text) {
    MessageBoxW(ParentWindow(hWndParent), text, L"Marupo", MB_OK);
}

// The system's text for `hr`. When memory has run out even for that, a fixed text saying so,
// held without allocating.
void ShowErrorText(HRESULT hr) noexcept {
    try {
        ui::ShowMessage(HostErrorMessageText(hr));
    } catch (...) {
        ui::ShowOutOfMemory();
    }
}

}  // namespace

HRESULT STDMETHODCALLTYPE MarupoAddin::OnInitialize(IDispatch* pUnk, long dwCookie, long, long,
                                                    long* pbSuccess) {
    ui::AddinModuleScope scope;
    long success = 0;
    HRESULT failure = S_OK;
    try {
        addinCookie_ = dwCookie;
        hostUnknown_ = pUnk;
        RegisterCommands();
        success = 1;
    } catch (const HostError& error) {
        failure = error.Result();
    } catch (...) {
        failure = com::ResultOfCurrentException();
    }
    if (FAILED(failure)) ShowErrorText(failure);
    // A host that passes no flag learns nothing, but is not written through a null pointer.
    if (pbSuccess != nullptr) *pbSuccess = success;
    return S_OK;
}

void MarupoAddin::RegisterCommands() {
    // Held until the end; the host's command table is taken afresh for each command.
    ComPtr<IDesktopApplication> application = RequireHost<IDesktopApplication>(hostUnknown_);
    ComPtr<IDesktopCommandTable> table =
        HostGet(application, &IDesktopApplication::GetCommandTable);
    const auto moduleHandle = reinterpret_cast<LONG_PTR>(ui::AddinModule());
    // One id for both registrations: the second starts from what the first left in it.
    long commandId = 0;
    // The add-in keeps no reference of its own: once registered, the host's keep them alive.
    RegisterHostCommand(MakeCommand<Marupo1Command>(hostUnknown_.Get()).Get(), moduleHandle,
                        "Marupo1", ui::LoadAnsiString(IDS_MENU_EDIT), IDB_EDIT_COMMAND,
                        kMenuItemFlag, &commandId);
    RegisterHostCommand(MakeCommand<Marupo2Command>(hostUnknown_.Get()).Get(), moduleHandle,
                        "Marupo2", ui::LoadAnsiString(IDS_MENU_NEW), IDB_NEW_COMMAND, kMenuItemFlag,
                        &commandId);
}

HRESULT MarupoAddin::RegisterHostCommand(IDesktopCommand* command, LONG_PTR moduleHandle,
                                         const char* name, const std::string& menuText,
                                         long bitmapId, long flag, long* commandId) {
    // Released in reverse order on every way out: menu text, name, command, table, application.
    ComPtr<IDesktopApplication> application = RequireHost<IDesktopApplication>(hostUnknown_);
    ComPtr<IDesktopCommandTable> table =
        HostGet(application, &IDesktopApplication::GetCommandTable);
    ComPtr<IDesktopCommand> held(command);
    UniqueBstr nameText = HostFromAnsi(name);
    HRESULT hr = HostCall(table, &IDesktopCommandTable::AddCommand, addinCookie_, nameText.Get(),
                          held.Get(), commandId);
    if (hr != S_OK) return hr;
    UniqueBstr menuTextBstr = HostFromAnsi(menuText);
    return HostCall(table, &IDesktopCommandTable::AddMenuItem, *commandId, moduleHandle, bitmapId,
                    menuTextBstr.Get(), flag);
}

HRESULT STDMETHODCALLTYPE MarupoAddin::OnUninitialize() {
    ui::AddinModuleScope scope;
    addinCookie_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MarupoAddin::GetFrameworkVersion(long* plVersion) {
    ui::AddinModuleScope scope;
    if (plVersion == nullptr) return E_POINTER;
    *plVersion = kFrameworkVersion;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MarupoAddin::ShowAboutBox(long hWndParent) {
    ui::AddinModuleScope scope;
    ShowPlaceholder(hWndParent, L"MarupoAddin AboutBox");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MarupoAddin::ShowProperties(long hWndParent) {
    ui::AddinModuleScope scope;
    ShowPlaceholder(hWndParent, L"MarupoAddin Properties Dialog");
    return S_OK;
}

}  // namespace marupo
