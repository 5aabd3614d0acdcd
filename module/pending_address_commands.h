#pragma once
// TEMPORARY: forwarding points for the two command runs until their bodies exist; each run
// does nothing yet.

#include <windows.h>

#include <oaidl.h>

namespace marupo {

inline HRESULT RunEditAddressCommand(IDispatch*) {
    return S_OK;
}
inline HRESULT RunNewAddressCommand(IDispatch*) {
    return S_OK;
}

}  // namespace marupo
