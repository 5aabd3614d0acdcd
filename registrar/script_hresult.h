#pragma once
// The HRESULT of a refused script: FACILITY_ITF, code 0x0200 plus the ScriptError number
// (0x80040201 to 0x80040211).

#include <windows.h>

#include "registrar/script_error.h"

namespace marupo::registrar {

inline HRESULT ScriptErrorHresult(ScriptError error) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0200 + static_cast<int>(error));
}

}  // namespace marupo::registrar
