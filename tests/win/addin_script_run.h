#pragma once
// The add-in driven by a script in a fresh stand-in host inside the test program: one full
// command run (its dialog steps, then `invoke`) and what it left behind. The sweeps of host
// failures and of allocation failures run their scenarios through it.

#include <windows.h>

#include <objbase.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devhost/addin_host.h"
#include "devhost/book_file.h"
#include "devhost/modal_agent.h"
#include "devhost/script_runner.h"
#include "res/marupo_addin.h"
#include "tests/support/addin_dll.h"

namespace marupo::testing {

struct Scenario {
    const char* name;
    const char* command;
    std::vector<int> selection;
    const char* steps;  // the dialog steps of the whole run, queued before `invoke`
};

// One full edit run and one full creation run, each closed with OK after a conversion.
inline const Scenario kCommandScenarios[] = {
    {"edit",
     "Marupo1",
     {1},
     "dialog \"Marupo 編集\"\n"
     "set 321 \"0600042\"\n"
     "click 326\n"
     "dialog \"住所更新確認\"\n"
     "click 328\n"
     "close OK\n"
     "close OK\n"},
    {"new",
     "Marupo2",
     {},
     "dialog \"Marupo 新規アドレス\"\n"
     "ime 316 \"すずき\" \"鈴木\"\n"
     "set 321 \"0600042\"\n"
     "click 326\n"
     "close OK\n"},
};

// The book after each host call that changed it, by the call's number in the command's run.
using Snapshots = std::map<size_t, std::string>;

struct Outcome {
    std::string scriptError;
    std::vector<devhost::LoggedCall> calls;  // the host calls of the command, in order
    std::vector<std::string> boxes;          // message-box events
    std::string commandResult;               // the "OnCommand … -> …" event
    int held = -1;                           // after the command
    int heldAfterStop = -1;
    std::string book;
};

// What happens around the command: once the add-in is initialised, and once the script ended.
struct RunHooks {
    std::function<void()> beforeCommand;
    std::function<void()> afterCommand;
};

inline size_t HostCalls(const devhost::CallLog& log) {
    size_t count = 0;
    for (const auto& entry : log.Entries()) count += entry.event.empty() ? 1 : 0;
    return count;
}

inline std::wstring MarupoClsid() {
    wchar_t text[64] = {};
    StringFromGUID2(CLSID_MarupoAddin, text, 64);
    return text;
}

// Read anew for every run: copies of a book share its records.
inline devhost::Result<devhost::Book> SampleBook() {
    return devhost::LoadBookFile((AddinDllPath().parent_path() / "sample-book.txt").u8string());
}

// The sample book with the scenario's selection, as a run starts on it.
inline std::string InitialBook(const Scenario& scenario) {
    devhost::Book book = std::move(*SampleBook());
    book.SetSelection(scenario.selection);
    return devhost::FormatBook(book);
}

// One run of the scenario in a fresh host with the registered add-in, `fault` (script lines) in
// force from the command's first host call and `after` following the command; records the book
// after each change when `snapshots` is given.
inline Outcome RunScenario(const Scenario& scenario, const std::string& fault,
                           Snapshots* snapshots = nullptr, const std::string& after = {},
                           const RunHooks& hooks = {}) {
    auto state = std::make_shared<devhost::HostState>();
    state->book = std::move(*SampleBook());
    state->book.SetSelection(scenario.selection);
    devhost::AddinHost addins(state);
    devhost::ModalAgent agent(state->log);
    devhost::ScriptRunner runner({state, &addins, nullptr, &agent, {}});
    addins.Load(MarupoClsid(), L"Marupo Addin");
    state->log.Clear();
    if (snapshots != nullptr) {
        snapshots->clear();
        state->bookChanged = [&] {
            (*snapshots)[HostCalls(state->log)] = devhost::FormatBook(state->book);
        };
    }
    Outcome outcome;
    auto parsed = devhost::ParseScript(fault + "\n" + scenario.steps + "invoke " +
                                       scenario.command + "\n" + after);
    if (!parsed.Ok()) {
        outcome.scriptError = parsed.Message();
    } else {
        if (hooks.beforeCommand) hooks.beforeCommand();
        outcome.scriptError = runner.Run(*parsed).Message();
        if (hooks.afterCommand) hooks.afterCommand();
    }
    state->bookChanged = nullptr;
    outcome.held = addins.HeldObjects();
    for (const auto& entry : state->log.Entries()) {
        if (entry.event.empty()) {
            outcome.calls.push_back(entry);
        } else if (entry.event.rfind("messagebox ", 0) == 0) {
            outcome.boxes.push_back(entry.event);
        } else if (entry.event.rfind("OnCommand ", 0) == 0 &&
                   entry.event.find(" -> ") != std::string::npos) {
            outcome.commandResult = entry.event;
        }
    }
    addins.Stop();
    outcome.heldAfterStop = addins.HeldObjects();
    outcome.book = devhost::FormatBook(state->book);
    return outcome;
}

inline std::string Ended(const Scenario& scenario) {
    return std::string("OnCommand ") + scenario.command + " -> S_OK";
}

}  // namespace marupo::testing
