#pragma once
// The module object of the add-in DLL: its instance handle, its one creatable class
// (MarupoAddin) with the class object and the lock count, the type information the dispatch
// implementation shares, and the clean-up done once at shutdown.

#include <windows.h>

#include "com/critical_section.h"
#include "com/server_module.h"
#include "module/termination_list.h"

namespace marupo {

class AddinModule {
  public:
    AddinModule();
    AddinModule(const AddinModule&) = delete;
    AddinModule& operator=(const AddinModule&) = delete;

    // The one module object of the DLL.
    static AddinModule& Instance();

    // Process attach and detach of the DLL.
    void Start(HINSTANCE instance);
    void Stop();

    HINSTANCE Handle() const { return instance_; }
    com::ServerModule& Server() { return server_; }
    com::CriticalSection& TypeInfoSection() { return typeInfoSection_; }
    TerminationList& Terminations() { return terminations_; }

    // DllCanUnloadNow: no live object, no outside reference to the class object, no lock.
    bool CanUnload() const { return server_.LockCount() == 0; }

  private:
    HINSTANCE instance_ = nullptr;
    com::ServerModule server_;
    com::CriticalSection typeInfoSection_;
    TerminationList terminations_;
};

}  // namespace marupo
