#include "devhost/addin_host.h"

#include "devhost/addin_store.h"
#include "devhost/host_methods.h"
#include "devhost/host_objects.h"
#include "devhost/text_codec.h"
#include "win/module_path.h"
#include "win/registry_key.h"
#include "win/unique_handle.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

constexpr long kDesktopVersion = 0x00040000;

std::string Utf8(const std::wstring& text) {
    return ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace

AddinHost::AddinHost(std::shared_ptr<HostState> state)
    : state_(std::move(state)), application_(CreateApplication(state_)) {}

AddinHost::~AddinHost() {
    Stop();
}

void AddinHost::StartRegistered() {
    running_ = true;
    for (const auto& registration : ListAddins())
        Load(registration.clsid, registration.displayName);
}

HRESULT AddinHost::Load(const std::wstring& clsidText, const std::wstring& displayName) {
    running_ = true;
    LoadedAddin loaded;
    loaded.clsid = clsidText;
    loaded.displayName = displayName;
    CLSID clsid;
    loaded.createResult = CLSIDFromString(clsidText.c_str(), &clsid);
    if (SUCCEEDED(loaded.createResult)) {
        loaded.createResult = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IDesktopAddin, &loaded.addin);
    }
    std::string who = Utf8(displayName) + " " + Utf8(clsidText);
    if (FAILED(loaded.createResult)) {
        state_->log.Event("create " + who + " -> " + HresultName(loaded.createResult));
        addins_.push_back(std::move(loaded));
        return addins_.back().createResult;
    }
    loaded.cookie = nextCookie_++;
    state_->log.Event("OnInitialize " + who + " cookie " + std::to_string(loaded.cookie));
    // The flag starts at 0: only an add-in that says it succeeded counts as initialised.
    loaded.initializeResult = loaded.addin->OnInitialize(application_.Get(), loaded.cookie,
                                                         kDesktopVersion, 0, &loaded.success);
    state_->log.Event("OnInitialize " + who + " -> " + HresultName(loaded.initializeResult) +
                      ", success " + std::to_string(loaded.success));
    addins_.push_back(std::move(loaded));
    return addins_.back().initializeResult;
}

void AddinHost::Stop() {
    if (!running_) return;
    running_ = false;
    for (auto& loaded : addins_) {
        if (!loaded.addin) continue;
        HRESULT hr = loaded.addin->OnUninitialize();
        state_->log.Event("OnUninitialize " + Utf8(loaded.displayName) + " -> " + HresultName(hr));
    }
    state_->ReleaseCommands();
    for (auto& loaded : addins_) loaded.addin.Reset();
    addins_.clear();
    state_->log.Event("add-ins released");
    CoFreeUnusedLibraries();
    state_->log.Event("held " + std::to_string(HeldObjects()));
}

int AddinHost::HeldObjects() const {
    int held = state_->liveObjects - 1;
    if (!running_) {
        // Stopped add-ins keep nothing, the application object included: count every
        // reference to it beyond the host's own.
        application_->AddRef();
        held += static_cast<int>(application_->Release()) - 1;
    }
    return held;
}

HRESULT AddinHost::Invoke(long commandId) {
    const RegisteredCommand* command = state_->FindCommand(commandId);
    if (command == nullptr) return E_INVALIDARG;
    // Held here: the command list may change while the command runs.
    ComPtr<IDesktopCommand> target = command->command;
    std::string name = ToUtf8(command->name);
    state_->log.Event("OnCommand " + name);
    HRESULT hr = target->OnCommand();
    state_->log.Event("OnCommand " + name + " -> " + HresultName(hr));
    state_->log.Event("held " + std::to_string(HeldObjects()));
    state_->NotifyBookChanged();
    return hr;
}

HRESULT AddinHost::Invoke(const std::u16string& name) {
    const RegisteredCommand* command = state_->FindCommand(name);
    return command != nullptr ? Invoke(command->id) : E_INVALIDARG;
}

std::wstring ProgramDirectory() {
    const std::wstring path = win::ModuleFileName(nullptr);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

HRESULT RegisterServerDll(const std::wstring& path, bool unregister) {
    const win::UniqueModule module(LoadLibraryW(path.c_str()));
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(module.Get(), unregister ? "DllUnregisterServer" : "DllRegisterServer")));
    return entry != nullptr ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

HRESULT EnsureAddinRegistryRegistered(bool force) {
    std::wstring dll = ProgramDirectory() + L"DesktopAddinRegistry.dll";
    if (!force) {
        // COM's view of the classes, which is what CoCreateInstance goes by.
        win::RegistryKey server;
        if (win::RegistryKey::Root(HKEY_CLASSES_ROOT)
                .Open(L"CLSID\\{BE44897A-EB38-11D5-823F-00C04FA03755}\\InprocServer32", KEY_READ,
                      server) == ERROR_SUCCESS) {
            const auto current = server.ReadString(L"");
            if (current && GetFileAttributesW(current->c_str()) != INVALID_FILE_ATTRIBUTES)
                return S_FALSE;
        }
    }
    return RegisterServerDll(dll, false);
}

}  // namespace marupo::devhost
