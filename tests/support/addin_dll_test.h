#pragma once
// A test fixture on the real add-in DLL, loaded into the test program and reached through its
// exports as COM reaches it.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <wrl/client.h>

#include "res/marupo_addin.h"
#include "tests/support/addin_dll.h"

namespace marupo::testing {

class AddinDllTest : public ::testing::Test {
  protected:
    using GetClassObjectFunction = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    using CanUnloadNowFunction = HRESULT STDAPICALLTYPE();

    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_NE(dll_.Handle(), nullptr) << "LoadLibrary failed with " << dll_.Error();
        getClassObject_ = dll_.Export<GetClassObjectFunction>("DllGetClassObject");
        canUnloadNow_ = dll_.Export<CanUnloadNowFunction>("DllCanUnloadNow");
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    void TearDown() override { CoUninitialize(); }

    // A new reference to the add-in's class object.
    Microsoft::WRL::ComPtr<IClassFactory> Factory() {
        Microsoft::WRL::ComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject_(CLSID_MarupoAddin, IID_IClassFactory, &factory), S_OK);
        return factory;
    }

    LoadedDll dll_{AddinDllPath()};
    GetClassObjectFunction* getClassObject_ = nullptr;
    CanUnloadNowFunction* canUnloadNow_ = nullptr;
};

}  // namespace marupo::testing
