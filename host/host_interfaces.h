#pragma once
// Palm Desktop's interfaces in C++ (declared in desktop_host.idl), with the names that error
// reports give them. __uuidof(I) yields each interface's IID.

#include <windows.h>

#include <oaidl.h>

#include "host/desktop_host.h"

namespace marupo {

// The name of a host interface, for error reports. Only interfaces listed here can be called
// through the wrappers, so a report never lacks its name.
template <class I>
struct HostInterfaceName;

#define MARUPO_HOST_INTERFACE_NAME(I)            \
    template <>                                  \
    struct HostInterfaceName<I> {                \
        static constexpr const char* value = #I; \
    }

MARUPO_HOST_INTERFACE_NAME(IUnknown);
MARUPO_HOST_INTERFACE_NAME(IDispatch);
MARUPO_HOST_INTERFACE_NAME(IDesktopApplication);
MARUPO_HOST_INTERFACE_NAME(IDesktopCommandTable);
MARUPO_HOST_INTERFACE_NAME(IAddressBook);
MARUPO_HOST_INTERFACE_NAME(IAddressRecords);
MARUPO_HOST_INTERFACE_NAME(IAddressRecord);
MARUPO_HOST_INTERFACE_NAME(ICategoryNames);
MARUPO_HOST_INTERFACE_NAME(IDesktopAddinRegistry);
MARUPO_HOST_INTERFACE_NAME(IDesktopAddinEntry);
MARUPO_HOST_INTERFACE_NAME(IDesktopAddin);
MARUPO_HOST_INTERFACE_NAME(IDesktopCommand);

#undef MARUPO_HOST_INTERFACE_NAME

}  // namespace marupo
