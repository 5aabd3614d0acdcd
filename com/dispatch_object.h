#pragma once
// The one shape of our COM objects: IUnknown with a plain reference count (every object is
// apartment-threaded), the object's own dual interface with IDispatch taken from a type
// information source, and optional aggregation as an inner object.
//
//   class Command final : public com::DispatchObject<IDesktopCommand, LibraryTypeInfo> { ... };
//
// The type information source is a class with `static HRESULT Get(LCID, ITypeInfo**)`:
// NoTypeInfo for objects that are called through their vtables only.

#include <windows.h>

#include <oleauto.h>

#include <type_traits>

namespace marupo::com {

// IDispatch without type information: GetTypeInfoCount says 0, the rest E_NOTIMPL.
struct NoTypeInfo {
    static HRESULT Get(LCID, ITypeInfo** info) {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
};

template <class Interface, class TypeInfo = NoTypeInfo>
class DispatchObject : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return outer_ != nullptr ? outer_->QueryInterface(riid, object)
                                 : OwnQueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return outer_ != nullptr ? outer_->AddRef() : ++references_;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return outer_ != nullptr ? outer_->Release() : OwnRelease();
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = std::is_same_v<TypeInfo, NoTypeInfo> ? 0 : 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return TypeInfo::Get(locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        ITypeInfo* info = nullptr;
        HRESULT hr = TypeInfo::Get(locale, &info);
        if (FAILED(hr)) return hr;
        hr = info->GetIDsOfNames(names, count, ids);
        info->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        ITypeInfo* info = nullptr;
        HRESULT hr = TypeInfo::Get(locale, &info);
        if (FAILED(hr)) return hr;
        hr = info->Invoke(static_cast<Interface*>(this), id, flags, parameters, result, exception,
                          argumentError);
        info->Release();
        return hr;
    }

    // Makes the object the inner object of `outer`, before anyone else holds it: its IUnknown
    // methods then go to the outer object, and Inner() is the object's own IUnknown.
    void AggregateInto(IUnknown* outer) { outer_ = outer; }
    IUnknown* Inner() {
        if (outer_ != nullptr) return &inner_;
        return static_cast<Interface*>(this);
    }

  protected:
    DispatchObject() : inner_(*this) {}
    virtual ~DispatchObject() = default;

    // The interface pointer for `riid`, or null; objects with more interfaces extend it.
    virtual void* FindInterface(REFIID riid) {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Interface)) {
            return static_cast<Interface*>(this);
        }
        return nullptr;
    }

  private:
    // The object's own IUnknown while it is aggregated: the outer object holds it.
    class InnerUnknown final : public IUnknown {
      public:
        explicit InnerUnknown(DispatchObject& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
            return owner_.OwnQueryInterface(riid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++owner_.references_; }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.OwnRelease(); }

      private:
        DispatchObject& owner_;
    };

    HRESULT OwnQueryInterface(REFIID riid, void** object) {
        if (object == nullptr) return E_POINTER;
        void* found = nullptr;
        if (outer_ != nullptr && riid == IID_IUnknown) {
            found = static_cast<IUnknown*>(&inner_);
        } else {
            found = FindInterface(riid);
        }
        *object = found;
        if (found == nullptr) return E_NOINTERFACE;
        // Through the interface handed out: an aggregated object's interfaces count on the
        // outer object, its own IUnknown on itself.
        static_cast<IUnknown*>(found)->AddRef();
        return S_OK;
    }
    ULONG OwnRelease() {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    ULONG references_ = 0;
    IUnknown* outer_ = nullptr;
    InnerUnknown inner_;
};

}  // namespace marupo::com
