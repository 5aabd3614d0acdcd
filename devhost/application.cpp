// IDesktopApplication: the object handed to every add-in at initialisation.
#include "devhost/host_object.h"
#include "devhost/host_objects.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

class Application final : public HostObject<IDesktopApplication> {
  public:
    explicit Application(std::shared_ptr<HostState> state)
        : HostObject(std::move(state), "IDesktopApplication") {}

    HRESULT STDMETHODCALLTYPE GetCommandTable(IDesktopCommandTable** table) override {
        HostCall call = Call("GetCommandTable");
        if (table == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *table = nullptr;
        if (call.Injected()) return call.InjectedResult();
        return call.HandOut(CreateCommandTable(state_), table, "IDesktopCommandTable");
    }

    HRESULT STDMETHODCALLTYPE GetAddressBook(IUnknown** book) override {
        HostCall call = Call("GetAddressBook");
        if (book == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *book = nullptr;
        if (call.Injected()) return call.InjectedResult();
        return call.HandOut(CreateAddressBook(state_), book, "IAddressBook");
    }

    HRESULT STDMETHODCALLTYPE GetPrivateDisplayMode(long* mode) override {
        HostCall call = Call("GetPrivateDisplayMode");
        if (mode == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *mode = 0;
        if (call.Injected()) return call.InjectedResult();
        *mode = state_->book.PrivateDisplayMode();
        return call.Succeed(std::to_string(*mode));
    }

#define UNUSED_SLOT(n)                                 \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { \
        return Unused("Reserved" #n);                  \
    }
    UNUSED_SLOT(8)
    UNUSED_SLOT(9)
    UNUSED_SLOT(11)
    UNUSED_SLOT(12)
    UNUSED_SLOT(13)
    UNUSED_SLOT(14)
    UNUSED_SLOT(15)
    UNUSED_SLOT(16)
    UNUSED_SLOT(17)
    UNUSED_SLOT(18)
    UNUSED_SLOT(19)
    UNUSED_SLOT(20)
    UNUSED_SLOT(21)
#undef UNUSED_SLOT
};

}  // namespace

ComPtr<IDesktopApplication> CreateApplication(std::shared_ptr<HostState> state) {
    return Application::Make<Application, IDesktopApplication>(std::move(state));
}

}  // namespace marupo::devhost
