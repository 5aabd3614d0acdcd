// The add-in object of the real DLL against the stand-in host's own objects: the registration of
// the two commands with the host's command table, what a failing host makes of it, the rest of
// IDesktopAddin, and IDispatch before the type library is registered.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devhost/host_objects.h"
#include "devhost/host_state.h"
#include "host/host_error.h"
#include "res/marupo_addin.h"
#include "tests/support/addin_dll_test.h"
#include "tests/support/modal_driver.h"

namespace marupo {
namespace {

using devhost::HostState;
using Microsoft::WRL::ComPtr;

constexpr wchar_t kEditMenuText[] =
    L"&Marupo 編集\t郵便番号検索機能付きでアドレスを編集します\tMarupo 編集";
constexpr wchar_t kNewMenuText[] =
    L"&Marupo 新規追加\t郵便番号検索機能付きでアドレスを新規追加します\tMarupo 新規追加";

class ModuleAddinTest : public testing::AddinDllTest {
  protected:
    void SetUp() override {
        AddinDllTest::SetUp();
        factory_ = Factory();
        ASSERT_TRUE(factory_);
    }
    void TearDown() override {
        factory_.Reset();
        AddinDllTest::TearDown();
    }

    ComPtr<IDesktopAddin> NewAddin() {
        ComPtr<IDesktopAddin> addin;
        EXPECT_EQ(factory_->CreateInstance(nullptr, IID_IDesktopAddin, &addin), S_OK);
        return addin;
    }

    ComPtr<IClassFactory> factory_;
};

enum class Host { kNone, kWithoutApplication, kApplication };

struct MenuItem {
    std::u16string command;  // whose id the item carries
    std::wstring text;
    long bitmapId;
};

TEST_F(ModuleAddinTest, OnInitializeRegistersBothCommandsOrReportsTheHostsFailure) {
    struct Case {
        const char* what;
        Host host;
        std::function<void(devhost::FaultInjector&)> faults;
        long success;
        std::vector<std::wstring> messages;
        std::vector<std::u16string> commands;
        std::vector<MenuItem> menu;
    };
    const std::wstring pointerText = HostErrorMessageText(E_POINTER);
    const Case cases[] = {
        {"a working host",
         Host::kApplication,
         [](auto&) {},
         1,
         {},
         {u"Marupo1", u"Marupo2"},
         {{u"Marupo1", kEditMenuText, 201}, {u"Marupo2", kNewMenuText, 312}}},
        {"no host pointer", Host::kNone, [](auto&) {}, 0, {pointerText}, {}, {}},
        {"a host pointer without the application",
         Host::kWithoutApplication,
         [](auto&) {},
         0,
         {pointerText},
         {},
         {}},
        {"first command taken with S_FALSE",
         Host::kApplication,
         [](auto& f) { f.FailNth(1, "AddCommand", S_FALSE, std::nullopt); },
         1,
         {},
         {u"Marupo2"},
         {{u"Marupo2", kNewMenuText, 312}}},
        {"second command refused",
         Host::kApplication,
         [](auto& f) { f.FailNth(2, "AddCommand", E_ACCESSDENIED, u"拒否"); },
         0,
         {HostErrorMessageText(E_ACCESSDENIED)},
         {u"Marupo1"},
         {{u"Marupo1", kEditMenuText, 201}}},
        {"first menu item refused",
         Host::kApplication,
         [](auto& f) { f.FailNth(1, "AddMenuItem", E_FAIL, std::nullopt); },
         0,
         {HostErrorMessageText(E_FAIL)},
         {u"Marupo1"},
         {}},
        {"an automation server's own error code",
         Host::kApplication,
         [](auto& f) { f.FailNth(1, "AddCommand", static_cast<int32_t>(0x80040205), u"x"); },
         0,
         {L"IDispatch error #5"},
         {},
         {}},
        {"command table missing",
         Host::kApplication,
         [](auto& f) { f.NullEvery("GetCommandTable"); },
         0,
         {pointerText},
         {},
         {}},
        {"command table refused",
         Host::kApplication,
         [](auto& f) { f.FailEvery("GetCommandTable", E_UNEXPECTED, std::nullopt); },
         0,
         {HostErrorMessageText(E_UNEXPECTED)},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = std::make_shared<HostState>();
        c.faults(state->faults);
        ComPtr<IDispatch> host;
        if (c.host == Host::kApplication) host = devhost::CreateApplication(state);
        if (c.host == Host::kWithoutApplication) host = devhost::CreateAddressBook(state);
        {
            testing::ModalDriver driver;
            ComPtr<IDesktopAddin> addin = NewAddin();
            ASSERT_TRUE(addin);
            long success = 7;
            EXPECT_EQ(addin->OnInitialize(host.Get(), 101, 0x00040000, 0, &success), S_OK);
            EXPECT_EQ(success, c.success);
            EXPECT_EQ(driver.MessageTexts(), c.messages);
            for (const auto& box : driver.MessageBoxes()) {
                EXPECT_EQ(box.caption, L"Marupo") << "the add-in's own title";
                EXPECT_TRUE(box.onlyOkButton);
            }
            std::vector<std::u16string> names;
            for (const auto& command : state->commands) {
                names.push_back(command.name);
                EXPECT_EQ(command.cookie, 101);
            }
            EXPECT_EQ(names, c.commands);
            ASSERT_EQ(state->menuItems.size(), c.menu.size());
            for (size_t i = 0; i < c.menu.size(); ++i) {
                const auto& item = state->menuItems[i];
                EXPECT_EQ(std::wstring(item.text.begin(), item.text.end()), c.menu[i].text);
                EXPECT_EQ(item.bitmapId, c.menu[i].bitmapId);
                EXPECT_EQ(item.moduleHandle, reinterpret_cast<LONG_PTR>(dll_.Handle()));
                EXPECT_EQ(item.flag, 1);
                EXPECT_NE(item.bitmap->Get(), nullptr);
                const auto* command = state->FindCommand(item.commandId);
                ASSERT_NE(command, nullptr);
                EXPECT_EQ(command->name, c.menu[i].command);
            }
        }
        host.Reset();
        state->ReleaseCommands();
        factory_.Reset();
        EXPECT_EQ(canUnloadNow_(), S_OK) << "a command object or the add-in was left alive";
        factory_ = Factory();
    }
}

TEST_F(ModuleAddinTest, SmallMethodsOfTheAddin) {
    ComPtr<IDesktopAddin> addin = NewAddin();
    long version = 0;
    EXPECT_EQ(addin->GetFrameworkVersion(&version), S_OK);
    EXPECT_EQ(version, 2);
    EXPECT_EQ(addin->OnUninitialize(), S_OK);
    EXPECT_EQ(addin->OnUninitialize(), S_OK);

    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    struct Case {
        const char* what;
        std::function<HRESULT(long)> show;
        HWND parent;
        const wchar_t* text;
    } const cases[] = {
        {"about box, no owner", [&](long h) { return addin->ShowAboutBox(h); }, nullptr,
         L"MarupoAddin AboutBox"},
        {"about box, owned", [&](long h) { return addin->ShowAboutBox(h); }, owner,
         L"MarupoAddin AboutBox"},
        {"properties, owned", [&](long h) { return addin->ShowProperties(h); }, owner,
         L"MarupoAddin Properties Dialog"},
    };
    for (const Case& c : cases) {
        testing::ModalDriver driver;
        EXPECT_EQ(c.show(static_cast<long>(reinterpret_cast<LONG_PTR>(c.parent))), S_OK) << c.what;
        ASSERT_EQ(driver.MessageBoxes().size(), 1u) << c.what;
        const auto& box = driver.MessageBoxes()[0];
        EXPECT_EQ(box.text, c.text) << c.what;
        EXPECT_EQ(box.caption, L"Marupo") << c.what;
        EXPECT_EQ(box.owner, c.parent) << c.what;
        EXPECT_TRUE(box.onlyOkButton) << c.what;
        EXPECT_FALSE(box.exclamationIcon) << c.what;
    }
    DestroyWindow(owner);
}

TEST_F(ModuleAddinTest, DispatchUsesTheRegisteredTypeLibraryInAnyLocale) {
    // Whatever an earlier run left behind.
    UnRegisterTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409,
                      sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    auto state = std::make_shared<HostState>();
    ComPtr<IDesktopApplication> application = devhost::CreateApplication(state);
    ComPtr<IDesktopAddin> addin = NewAddin();
    long success = 0;
    ASSERT_EQ(addin->OnInitialize(application.Get(), 1, 0, 0, &success), S_OK);
    ASSERT_EQ(state->commands.size(), 2u);

    const IDispatch* objects[] = {addin.Get(), state->commands[0].command.Get(),
                                  state->commands[1].command.Get()};
    for (const IDispatch* constObject : objects) {
        auto* object = const_cast<IDispatch*>(constObject);
        UINT count = 0;
        EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), TYPE_E_LIBNOTREGISTERED);
        EXPECT_FALSE(info);
        OLECHAR name[] = L"OnCommand";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
                  TYPE_E_LIBNOTREGISTERED);
        DISPPARAMS none = {};
        EXPECT_EQ(object->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                 nullptr, nullptr),
                  TYPE_E_LIBNOTREGISTERED);
    }

    // Registered (as registration does, from the DLL's own file): found also for a Japanese
    // caller, although the library's locale is English. The add-in's own calls are the
    // automation client's in the registration test.
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(testing::AddinDllPath().c_str(), REGKIND_REGISTER, &library), S_OK);
    for (const auto& command : state->commands) {
        OLECHAR name[] = L"OnCommand";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        EXPECT_EQ(command.command->GetIDsOfNames(IID_NULL, names, 1, 0x0411, &id), S_OK);
        EXPECT_EQ(id, 1);
    }
    UnRegisterTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409,
                      sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    state->ReleaseCommands();
}

}  // namespace
}  // namespace marupo
