#pragma once
// Runs a script against the host: every line is checked before the first one runs, then the
// lines run in order. The language is described in docs/devhost.md.

#include <memory>
#include <string>
#include <vector>

#include "devhost/addin_host.h"
#include "devhost/dialog_script.h"
#include "devhost/host_state.h"
#include "devhost/modal_agent.h"
#include "devhost/script.h"

namespace marupo::devhost {

class MainWindow;

class ScriptRunner {
  public:
    struct Environment {
        std::shared_ptr<HostState> state;
        AddinHost* addins = nullptr;
        MainWindow* window = nullptr;  // may be absent; `dump menu` then lists the host's items
        ModalAgent* agent = nullptr;
        std::string baseDirectory;  // UTF-8, ends in a separator; relative paths start here
    };

    explicit ScriptRunner(Environment environment);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // False with "line N: ..." in `error` when a line is malformed or fails.
    bool Run(const std::vector<ScriptLine>& lines, std::string* error);
    // Reads, checks and runs a script file.
    bool RunFile(const std::string& path, std::string* error);

  private:
    // Checks the line and, when `execute`, carries it out; the error text or empty.
    std::string Apply(const ScriptLine& line, bool execute);
    std::string Path(const std::string& path) const;
    std::string MenuDescription() const;

    Environment env_;
    DialogScript dialogs_;
    int failedLine_ = 0;  // set when a failure belongs to an earlier line than the one running
};

// Writes UTF-8 text to a file, or to standard output for "-"; false when it cannot.
bool WriteOutput(const std::string& target, const std::string& text);

}  // namespace marupo::devhost
