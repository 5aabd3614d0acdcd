// devhost.exe: plays Palm Desktop for add-ins under development.
//   devhost.exe [BOOK]                      the window, with BOOK or the sample book
//   devhost.exe --script FILE [--book-out F] [--log-out F] [--hidden]
//   devhost.exe --register-registry | --unregister-registry
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "devhost/addin_host.h"
#include "devhost/book_file.h"
#include "devhost/main_window.h"
#include "devhost/modal_agent.h"
#include "devhost/script_runner.h"
#include "devhost/text_codec.h"

using namespace marupo::devhost;

namespace {

std::string Utf8(const std::wstring& text) {
    return ToUtf8(std::u16string(text.begin(), text.end()));
}

int Usage() {
    std::fputs(
        "usage: devhost [BOOK]\n"
        "       devhost --script FILE [--book-out FILE] [--log-out FILE] [--hidden]\n"
        "       devhost --register-registry | --unregister-registry\n",
        stderr);
    return 2;
}

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

int RunWindow(const std::shared_ptr<HostState>& state, const std::wstring& bookPath) {
    std::wstring path = bookPath.empty() ? ProgramDirectory() + L"sample-book.txt" : bookPath;
    auto loaded = LoadBookFile(Utf8(path));
    if (loaded.Ok()) {
        state->book = std::move(*loaded);
    } else if (!bookPath.empty()) {
        std::fprintf(stderr, "%s\n", loaded.Message().c_str());
        return 1;
    }
    AddinHost addins(state);
    MainWindow window(state, addins);
    if (!window.Create(true)) return 1;
    window.SetQuitOnClose(true);
    if (!bookPath.empty()) window.SetBookPath(bookPath);
    addins.StartRegistered();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    addins.Stop();
    return 0;
}

int RunScript(const std::shared_ptr<HostState>& state, const std::wstring& script,
              const std::wstring& bookOut, const std::wstring& logOut, bool hidden) {
    int result = 0;
    {
        AddinHost addins(state);
        MainWindow window(state, addins);
        if (!window.Create(!hidden)) return 1;
        ModalAgent agent(state->log);
        std::string scriptPath = Utf8(script);
        size_t slash = scriptPath.find_last_of("\\/");
        ScriptRunner runner(
            {state, &addins, &window, &agent,
             slash == std::string::npos ? std::string() : scriptPath.substr(0, slash + 1)});
        if (Status run = runner.RunFile(scriptPath); !run.Ok()) {
            std::fprintf(stderr, "%s\n", run.Message().c_str());
            result = 1;
        }
        addins.Stop();
    }
    if (!bookOut.empty() && !WriteOutput(Utf8(bookOut), FormatBook(state->book)).Ok()) result = 1;
    if (!logOut.empty() && !WriteOutput(Utf8(logOut), state->log.Text()).Ok()) result = 1;
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring script, bookOut, logOut, bookPath;
    bool hidden = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        if (arg == L"--register-registry" || arg == L"--unregister-registry") {
            HRESULT hr = RegisterServerDll(ProgramDirectory() + L"DesktopAddinRegistry.dll",
                                           arg == L"--unregister-registry");
            if (FAILED(hr)) std::fprintf(stderr, "registration failed: 0x%08lX\n", hr);
            return FAILED(hr) ? 1 : 0;
        }
        if (arg == L"--script") {
            if (!value(script)) return Usage();
        } else if (arg == L"--book-out") {
            if (!value(bookOut)) return Usage();
        } else if (arg == L"--log-out") {
            if (!value(logOut)) return Usage();
        } else if (arg == L"--hidden") {
            hidden = true;
        } else if (!arg.empty() && arg[0] != L'-' && bookPath.empty()) {
            bookPath = arg;
        } else {
            return Usage();
        }
    }

    ComApartment apartment;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // A fresh machine: make the add-in registry creatable before any add-in registers.
    EnsureAddinRegistryRegistered(false);

    auto state = std::make_shared<HostState>();
    if (!script.empty()) return RunScript(state, script, bookOut, logOut, hidden);
    return RunWindow(state, bookPath);
}
