#pragma once
// The in-process server side of a DLL: its creatable classes, the class object of each (made on
// first request and kept until shutdown), and the lock count that says when the DLL may be
// unloaded. The lock count counts live objects (each holds a ModuleLock), outside references to
// a class object and server locks not yet undone.

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <new>
#include <vector>

#include "com/critical_section.h"

namespace marupo::com {

// Makes an object of a class; `outer` is given only together with IID_IUnknown.
using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

struct ClassEntry {
    CLSID clsid;
    InstanceCreator create;
    bool aggregatable;
};

class ServerModule {
  public:
    explicit ServerModule(std::vector<ClassEntry> classes);
    ~ServerModule();
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    // DllGetClassObject: E_POINTER, CLASS_E_CLASSNOTAVAILABLE, or the class object's answer.
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);
    // At shutdown: lets go of the class objects kept so far.
    void ReleaseClassObjects();

    void Lock() { ++locks_; }
    void Unlock() { --locks_; }
    long LockCount() const { return locks_; }

  private:
    struct Class {
        ClassEntry entry{};
        std::atomic<IUnknown*> object{nullptr};  // the kept class object, one reference
    };

    std::atomic<long> locks_{0};
    CriticalSection classObjectSection_;
    std::vector<Class> classes_;
};

// One lock on a module for as long as the holder lives.
class ModuleLock {
  public:
    explicit ModuleLock(ServerModule& module) : module_(module) { module_.Lock(); }
    ~ModuleLock() { module_.Unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;

  private:
    ServerModule& module_;
};

// The instance creator of a class whose objects derive from DispatchObject: allocates the
// object, aggregated into `outer` when one is given, and asks it for `riid`; an object that does
// not have `riid` is destroyed again.
template <class Object>
HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    auto* created = new (std::nothrow) Object();
    if (created == nullptr) return E_OUTOFMEMORY;
    if (outer != nullptr) created->AggregateInto(outer);
    IUnknown* inner = created->Inner();
    inner->AddRef();
    HRESULT hr = inner->QueryInterface(riid, object);
    inner->Release();
    return hr;
}

}  // namespace marupo::com
