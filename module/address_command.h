#pragma once
// The COM shell of the two commands the add-in registers with the host: Marupo1Command (edit
// the selected address) and Marupo2Command (add a new address). Both hold their own reference to
// the host pointer and one module lock for their whole life; they differ only in the run their
// OnCommand starts. Created only by the add-in object, never through a class object.

#include <windows.h>

#include <wrl/client.h>

#include "com/dispatch_object.h"
#include "com/server_module.h"
#include "entry/address_commands.h"
#include "host/host_interfaces.h"
#include "module/addin_module.h"
#include "module/type_info_cache.h"

namespace marupo {

template <HRESULT (*Run)(IDispatch* hostUnknown) noexcept>
class AddressCommand final
    : public com::DispatchObject<IDesktopCommand, LibraryTypeInfo<IDesktopCommand>> {
  public:
    explicit AddressCommand(IDispatch* hostUnknown) : hostUnknown_(hostUnknown) {}

    HRESULT STDMETHODCALLTYPE OnCommand() override { return Run(hostUnknown_.Get()); }

  private:
    Microsoft::WRL::ComPtr<IDispatch> hostUnknown_;
    // Declared last, so that destruction gives the lock back before the host pointer goes.
    com::ModuleLock lock_{AddinModule::Instance().Server()};
};

using Marupo1Command = AddressCommand<&RunEditAddressCommand>;
using Marupo2Command = AddressCommand<&RunNewAddressCommand>;

}  // namespace marupo
