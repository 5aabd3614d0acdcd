#pragma once
// The error information a failing COM call leaves on its thread for the caller (IErrorInfo).

#include <windows.h>

#include <oaidl.h>

namespace marupo::com {

// Sets the thread's error information for a failure of interface `iid`.
void SetCallErrorInfo(const IID& iid, const wchar_t* source, const wchar_t* description);
// Clears it, so that a caller never reads what an earlier call left.
void ClearCallErrorInfo();

}  // namespace marupo::com
