#include "com/exception_boundary.h"

#include <new>

namespace marupo::com {

HRESULT ResultOfCurrentException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace marupo::com
