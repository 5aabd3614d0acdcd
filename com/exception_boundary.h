#pragma once
// No exception may leave a function that COM, the host or the system calls: it would unwind
// through their frames and end the host process, and with it the user's unsaved work. Such a
// function runs its body through ExceptionBoundary, or catches everything itself and takes the
// HRESULT from ResultOfCurrentException.

#include <windows.h>

namespace marupo::com {

// Inside a handler: the HRESULT for the exception being handled, E_OUTOFMEMORY for
// std::bad_alloc and E_UNEXPECTED for any other.
HRESULT ResultOfCurrentException() noexcept;

// Runs `body`, which returns an HRESULT; an exception that escapes it becomes its HRESULT.
template <class Body>
HRESULT ExceptionBoundary(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return ResultOfCurrentException();
    }
}

}  // namespace marupo::com
