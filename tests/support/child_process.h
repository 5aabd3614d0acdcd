#pragma once
// Runs another program of the test environment: started and left running, or waited for.

#include <windows.h>

#include <string>

namespace marupo::testing {

// A program started without waiting for it; stopped if it is still running at the end.
class ChildProcess {
  public:
    explicit ChildProcess(std::wstring commandLine) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        // Wine now and then fails to start a process with nothing wrong in the program or its
        // command line (once in about a dozen runs of the installer test); such a start is tried
        // again. A program that cannot start fails each time.
        for (int tries = 0; tries < 3 && !started_; ++tries) {
            if (tries > 0) Sleep(500);
            started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &process_) != FALSE;
        }
    }
    ~ChildProcess() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The exit code; 9999 when the program could not be started, 9998 when it is still running
    // after `timeoutMs` (it is stopped with this object).
    DWORD Wait(DWORD timeoutMs = 120000) const {
        if (!started_) return 9999;
        DWORD code = 9998;
        if (WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.hProcess, &code);
        }
        return code;
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

// Runs the program to its end: its exit code, or one of the two codes above.
inline DWORD RunProgram(std::wstring commandLine, DWORD timeoutMs = 120000) {
    return ChildProcess(std::move(commandLine)).Wait(timeoutMs);
}

}  // namespace marupo::testing
