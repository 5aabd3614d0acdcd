#pragma once
// The type information of one of the add-in's interfaces, from its type library registered
// under the library's LIBID: loaded on first use, kept until the module shuts down.

#include <windows.h>

#include <oaidl.h>

namespace marupo {

class TypeInfoCache {
  public:
    explicit TypeInfoCache(const IID& iid) : iid_(iid) {}
    TypeInfoCache(const TypeInfoCache&) = delete;
    TypeInfoCache& operator=(const TypeInfoCache&) = delete;

    // A new reference to the interface's type information; the loading error while the type
    // library cannot be loaded.
    HRESULT Get(LCID locale, ITypeInfo** info);

  private:
    static void Forget(void* cache);

    const IID& iid_;
    ITypeInfo* info_ = nullptr;  // one reference while loaded
};

// The type information source of the add-in's dispatch objects (com/dispatch_object.h): one
// cache per interface, shared by every class that implements it.
template <class Interface>
struct LibraryTypeInfo {
    static HRESULT Get(LCID locale, ITypeInfo** info) {
        static TypeInfoCache cache(__uuidof(Interface));
        return cache.Get(locale, info);
    }
};

}  // namespace marupo
