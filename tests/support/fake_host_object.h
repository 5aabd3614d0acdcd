#pragma once
// The shape of a test's fake COM object: it answers only the calls its test expects. Any other
// call fails the test, naming the method, and answers E_UNEXPECTED, so that no code path passes
// on a stub's quiet answer.

#include <windows.h>

#include <gtest/gtest.h>
#include <oaidl.h>

namespace marupo::testing {

inline HRESULT UnexpectedCall(const char* method) {
    ADD_FAILURE() << "unexpected call: " << method;
    return E_UNEXPECTED;
}

// A fake that lives on its test's stack: the reference count is checked, never used to delete.
// QueryInterface is unexpected unless the fake answers it.
template <class Interface>
class CountedFake : public Interface {
  public:
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return UnexpectedCall("IUnknown::QueryInterface");
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
};

// A fake of one of the host's dual interfaces, which are called through their vtables only:
// IDispatch is unexpected.
template <class Interface>
class DispatchFake : public CountedFake<Interface> {
  public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override {
        return UnexpectedCall("IDispatch::GetTypeInfoCount");
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
        return UnexpectedCall("IDispatch::GetTypeInfo");
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return UnexpectedCall("IDispatch::GetIDsOfNames");
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return UnexpectedCall("IDispatch::Invoke");
    }
};

}  // namespace marupo::testing

// A reserved slot of a host interface's vtable, which nothing may call.
#define MARUPO_UNEXPECTED_SLOT(n)                                \
    HRESULT STDMETHODCALLTYPE Reserved##n() override {           \
        return ::marupo::testing::UnexpectedCall("Reserved" #n); \
    }
