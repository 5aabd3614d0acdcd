#pragma once
// BSTRs: owned by win::UniqueBstr (freed with SysFreeString on every way out). The add-in
// allocates every BSTR it hands out through AllocateBstr.

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "win/unique_handle.h"

namespace marupo {

using win::UniqueBstr;

// The text of a BSTR; a null BSTR is an empty text.
inline std::wstring BstrText(BSTR value) {
    return value != nullptr ? std::wstring(value, SysStringLen(value)) : std::wstring();
}
inline std::wstring BstrText(const UniqueBstr& value) {
    return BstrText(value.Get());
}

// A new BSTR of `length` characters copied from `text`, or left for the caller to fill when
// `text` is null. A failed allocation raises HostError(E_OUTOFMEMORY).
UniqueBstr AllocateBstr(const wchar_t* text, UINT length);

}  // namespace marupo
