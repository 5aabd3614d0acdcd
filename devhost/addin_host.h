#pragma once
// The add-ins' life cycle: create each registered add-in by its CLSID, initialise it with the
// application object and a cookie, run its commands, and at the end uninitialise and release
// everything — commands first, then the add-in objects.

#include <windows.h>

#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "devhost/host_state.h"

namespace marupo::devhost {

struct LoadedAddin {
    std::wstring clsid;
    std::wstring displayName;
    long cookie = 0;
    HRESULT createResult = E_FAIL;
    HRESULT initializeResult = E_FAIL;
    long success = 0;  // what OnInitialize reported through its success flag
    Microsoft::WRL::ComPtr<IDesktopAddin> addin;
};

class AddinHost {
  public:
    explicit AddinHost(std::shared_ptr<HostState> state);
    ~AddinHost();
    AddinHost(const AddinHost&) = delete;
    AddinHost& operator=(const AddinHost&) = delete;

    // Every add-in of the registry list, in the list's order.
    void StartRegistered();
    // One add-in by CLSID; the result of its creation, or of OnInitialize.
    HRESULT Load(const std::wstring& clsid, const std::wstring& displayName);
    void Stop();
    bool Running() const { return running_; }

    // OnCommand of a registered command; E_INVALIDARG when there is none of that id or name.
    HRESULT Invoke(long commandId);
    HRESULT Invoke(const std::u16string& name);

    // Host objects the add-ins still hold beyond the application object; once they are
    // stopped, their references to the application object count as well.
    int HeldObjects() const;

    const std::vector<LoadedAddin>& Addins() const { return addins_; }
    IDesktopApplication* Application() const { return application_.Get(); }

  private:
    std::shared_ptr<HostState> state_;
    Microsoft::WRL::ComPtr<IDesktopApplication> application_;
    std::vector<LoadedAddin> addins_;
    long nextCookie_ = 101;
    bool running_ = false;
};

// Registers DesktopAddinRegistry.dll (beside the running program) unless the class already
// points at an existing file; `force` registers it in any case.
HRESULT EnsureAddinRegistryRegistered(bool force);
// Runs DllRegisterServer or DllUnregisterServer of an in-process server.
HRESULT RegisterServerDll(const std::wstring& path, bool unregister);
std::wstring ProgramDirectory();

}  // namespace marupo::devhost
