// IDesktopApplication: the object handed to every add-in at initialisation.
#include "devhost/host_object.h"
#include "devhost/host_objects.h"
#include "devhost/unused_slots.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

class Application final : public HostObject<IDesktopApplication> {
  public:
    using HostObject::HostObject;

    HRESULT STDMETHODCALLTYPE GetCommandTable(IDesktopCommandTable** table) override {
        return HandOutMade(
            "GetCommandTable", table, [&] { return CreateCommandTable(state_); },
            "IDesktopCommandTable");
    }

    HRESULT STDMETHODCALLTYPE GetAddressBook(IUnknown** book) override {
        return HandOutMade(
            "GetAddressBook", book, [&] { return CreateAddressBook(state_); }, "IAddressBook");
    }

    HRESULT STDMETHODCALLTYPE GetPrivateDisplayMode(long* mode) override {
        HostCall call = Call("GetPrivateDisplayMode");
        if (mode == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *mode = 0;
        if (call.Injected()) return call.InjectedResult();
        *mode = state_->book.PrivateDisplayMode();
        return call.Succeed(std::to_string(*mode));
    }

    UNUSED_SLOTS(8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21)
};

}  // namespace

ComPtr<IDesktopApplication> CreateApplication(std::shared_ptr<HostState> state) {
    return Application::Make<Application, IDesktopApplication>(std::move(state));
}

}  // namespace marupo::devhost
