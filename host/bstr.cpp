#include "host/bstr.h"

#include "host/host_error.h"

namespace marupo {

UniqueBstr AllocateBstr(const wchar_t* text, UINT length) {
    UniqueBstr result(SysAllocStringLen(text, length));
    if (result.Get() == nullptr) throw HostError(E_OUTOFMEMORY);
    return result;
}

}  // namespace marupo
