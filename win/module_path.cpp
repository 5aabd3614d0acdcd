#include "win/module_path.h"

#include <vector>

namespace marupo::win {

std::wstring ModuleFileName(HMODULE module) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A full buffer may hold a cut path: try again with a larger one.
        if (length < path.size()) return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

}  // namespace marupo::win
