#pragma once
// A name no other test process running at the same time will choose: the process id and a
// per-process counter. Tests that run side by side (ctest -j) must not share a folder.

#include <atomic>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace marupo::testing {

inline std::string UniqueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    return prefix + "-" + std::to_string(process) + "-" + std::to_string(counter++);
}

}  // namespace marupo::testing
