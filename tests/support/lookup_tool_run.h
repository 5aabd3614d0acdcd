#pragma once
// Runs the built marupo-lookup program, which lies in the folder above the test program's, as a
// user would from a command line, and collects what it prints and its exit status.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "text/encoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>

#include <unistd.h>
#include <cstdlib>
#endif

namespace marupo::testing {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::filesystem::path LookupToolPath() {
#ifdef _WIN32
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path() / "marupo-lookup.exe";
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() /
           "marupo-lookup";
#endif
}

// Runs the tool in `workingFolder` with `args` (UTF-8; on Windows they travel in the ANSI code
// page) and `input` on its standard input; the standard streams pass through files in
// `scratch`. Standard output goes to `output` when given (then not read back). An argument
// "3< <(cat FILE)" opens a pipe that FILE is written to as /dev/fd/3 (not on Windows).
inline RunResult RunLookupTool(const std::vector<std::string>& args,
                               const std::filesystem::path& scratch,
                               const std::filesystem::path& workingFolder,
                               const std::string& input = "", const std::string& output = "") {
    namespace fs = std::filesystem;
    const fs::path in = scratch / "stdin.txt";
    const fs::path out = output.empty() ? scratch / "stdout.txt" : fs::path(output);
    const fs::path err = scratch / "stderr.txt";
    std::ofstream(in, std::ios::binary) << input;
    RunResult result;
#ifdef _WIN32
    std::string command = "\"" + LookupToolPath().string() + "\"";
    for (const std::string& arg : args) command += " \"" + text::Utf8ToCp932(arg) + "\"";
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE hIn =
        CreateFileW(in.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
    HANDLE hOut = CreateFileW(out.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE hErr = CreateFileW(err.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = hIn;
    startup.hStdOutput = hOut;
    startup.hStdError = hErr;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       workingFolder.string().c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(hIn);
    CloseHandle(hOut);
    CloseHandle(hErr);
#else
    auto quote = [](const std::string& s) {
        std::string q = "'";
        for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    std::string command =
        "cd " + quote(workingFolder.string()) + " && " + quote(LookupToolPath().string());
    for (const std::string& arg : args)
        command += " " + (arg.rfind("3<", 0) == 0 ? arg : quote(arg));
    command += " <" + quote(in.string()) + " >" + quote(out.string()) + " 2>" + quote(err.string());
    const int status = std::system(("bash -c " + quote(command)).c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    if (output.empty()) result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

}  // namespace marupo::testing
