#pragma once
// Runs another program of the test environment and waits for it.

#include <windows.h>

#include <string>

namespace marupo::testing {

// The program's exit code; 9999 when it could not be started, 9998 when it had to be stopped
// after `timeoutMs`.
inline DWORD RunProgram(std::wstring commandLine, DWORD timeoutMs = 120000) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 9999;
    }
    DWORD code = 9998;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace marupo::testing
