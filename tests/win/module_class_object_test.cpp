// The add-in DLL's class object and unload rules, driven through its own exports as COM drives
// them: which CLSIDs and interfaces it answers, creation alone and aggregated, and when
// DllCanUnloadNow lets the DLL go.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

#include "host/desktop_host.h"
#include "res/marupo_addin.h"
#include "tests/support/addin_dll_test.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

// {3C9E5A17-B2D4-4F68-8A01-7E4D2C6B9F30}: described in the type library, not creatable.
constexpr CLSID kCommandClsid = {
    0x3c9e5a17, 0xb2d4, 0x4f68, {0x8a, 0x01, 0x7e, 0x4d, 0x2c, 0x6b, 0x9f, 0x30}};

// An outer object that only counts its references, to see where an inner object's IUnknown
// calls go.
class CountingOuter final : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

using ModuleClassObjectTest = testing::AddinDllTest;

TEST_F(ModuleClassObjectTest, ClassObjectIsOnlyForTheAddinClass) {
    struct Case {
        const char* what;
        const CLSID& clsid;
        const IID& iid;
        HRESULT expected;
    } const cases[] = {
        {"class factory", CLSID_MarupoAddin, IID_IClassFactory, S_OK},
        {"its IUnknown", CLSID_MarupoAddin, IID_IUnknown, S_OK},
        {"an interface it lacks", CLSID_MarupoAddin, IID_IDispatch, E_NOINTERFACE},
        {"the command class", kCommandClsid, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {"the host's registry", CLSID_DesktopAddinRegistry, IID_IClassFactory,
         CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(getClassObject_(c.clsid, c.iid, reinterpret_cast<void**>(&object)), c.expected)
            << c.what;
        EXPECT_EQ(object != nullptr, c.expected == S_OK) << c.what;
        if (object != nullptr) object->Release();
    }
    EXPECT_EQ(getClassObject_(CLSID_MarupoAddin, IID_IClassFactory, nullptr), E_POINTER);

    ComPtr<IClassFactory> first = Factory();
    ComPtr<IClassFactory> second = Factory();
    EXPECT_EQ(first.Get(), second.Get()) << "one class object per class";
}

TEST_F(ModuleClassObjectTest, CreateInstanceAloneOrAggregatedWithIUnknownOnly) {
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    CountingOuter outer;
    struct Case {
        const char* what;
        IUnknown* outer;
        const IID& iid;
        HRESULT expected;
    } const cases[] = {
        {"the add-in interface", nullptr, IID_IDesktopAddin, S_OK},
        {"IDispatch, the dual interface", nullptr, IID_IDispatch, S_OK},
        {"IUnknown", nullptr, IID_IUnknown, S_OK},
        {"the command interface", nullptr, IID_IDesktopCommand, E_NOINTERFACE},
        {"error information support", nullptr, IID_ISupportErrorInfo, E_NOINTERFACE},
        {"aggregated, asked for its interface", &outer, IID_IDesktopAddin, CLASS_E_NOAGGREGATION},
        {"aggregated, asked for IUnknown", &outer, IID_IUnknown, S_OK},
    };
    for (const Case& c : cases) {
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(factory->CreateInstance(c.outer, c.iid, reinterpret_cast<void**>(&object)),
                  c.expected)
            << c.what;
        EXPECT_EQ(object != nullptr, c.expected == S_OK) << c.what;
        if (object != nullptr) object->Release();
    }
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDesktopAddin, nullptr), E_POINTER);
    EXPECT_EQ(outer.references, 1u) << "the aggregated objects gave back what they took";
}

TEST_F(ModuleClassObjectTest, AggregatedAddinDelegatesToItsOuterObject) {
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    CountingOuter outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &inner), S_OK);

    IDesktopAddin* addin = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IDesktopAddin, reinterpret_cast<void**>(&addin)), S_OK);
    EXPECT_EQ(outer.references, 2u) << "the interface's reference belongs to the outer object";
    IUnknown* identity = nullptr;
    EXPECT_EQ(addin->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)),
              E_NOINTERFACE)
        << "the interface's QueryInterface is the outer object's";
    long version = 0;
    EXPECT_EQ(addin->GetFrameworkVersion(&version), S_OK);
    EXPECT_EQ(version, 2);
    addin->Release();
    EXPECT_EQ(outer.references, 1u);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the inner object is alive";
    inner.Reset();
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ModuleClassObjectTest, DllCanBeUnloadedOnlyWithoutObjectsReferencesOrLocks) {
    ComPtr<IClassFactory> factory;
    ComPtr<IDesktopAddin> addin;
    ComPtr<IDesktopAddin> second;
    struct Step {
        const char* what;
        std::function<void()> action;
        HRESULT expected;
    } const steps[] = {
        {"freshly loaded", [] {}, S_OK},
        {"class object held", [&] { factory = Factory(); }, S_FALSE},
        {"an add-in created",
         [&] { ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDesktopAddin, &addin), S_OK); },
         S_FALSE},
        {"class object let go, add-in alive", [&] { factory.Reset(); }, S_FALSE},
        {"second reference to the add-in", [&] { second = addin; }, S_FALSE},
        {"first reference released", [&] { addin.Reset(); }, S_FALSE},
        {"last reference released", [&] { second.Reset(); }, S_OK},
        {"server locked",
         [&] {
             factory = Factory();
             factory->LockServer(TRUE);
             factory.Reset();
         },
         S_FALSE},
        {"server unlocked",
         [&] {
             factory = Factory();
             factory->LockServer(FALSE);
             factory.Reset();
         },
         S_OK},
        {"creation that fails",
         [&] {
             factory = Factory();
             ComPtr<IDesktopCommand> wrong;
             EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDesktopCommand, &wrong),
                       E_NOINTERFACE);
             factory.Reset();
         },
         S_OK},
    };
    for (const Step& step : steps) {
        step.action();
        EXPECT_EQ(canUnloadNow_(), step.expected) << step.what;
    }
}

}  // namespace
}  // namespace marupo
