#pragma once
// The class object of one creatable class. The server module keeps one reference to it; every
// further reference holds one lock on the module, so that a client holding the class object keeps
// the DLL loaded.

#include <windows.h>

#include <objbase.h>

#include <atomic>

#include "com/server_module.h"

namespace marupo::com {

class ClassFactory final : public IClassFactory {
  public:
    ClassFactory(ServerModule& module, const ClassEntry& entry) : module_(module), entry_(entry) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    ~ClassFactory() = default;

    ServerModule& module_;
    ClassEntry entry_;
    std::atomic<ULONG> references_{0};
};

}  // namespace marupo::com
