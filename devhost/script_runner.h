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
#include "devhost/status.h"

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

    // Fails with "line N: ..." when a line is malformed or fails.
    Status Run(const std::vector<ScriptLine>& lines);
    // Reads, checks and runs a script file; the failure names the file.
    Status RunFile(const std::string& path);

  private:
    // A statement checks its line and, when `execute`, carries it out.
    using Handler = Status (ScriptRunner::*)(const ScriptLine& line, bool execute);
    struct Statement;
    static const Statement kStatements[];

    Status Apply(const ScriptLine& line, bool execute);
    Status Load(const ScriptLine& line, bool execute);
    Status Save(const ScriptLine& line, bool execute);
    Status View(const ScriptLine& line, bool execute);
    Status Select(const ScriptLine& line, bool execute);
    Status PrivateMode(const ScriptLine& line, bool execute);
    Status Fault(const ScriptLine& line, bool execute);
    Status Clear(const ScriptLine& line, bool execute);
    Status ErrorInfo(const ScriptLine& line, bool execute);
    Status Register(const ScriptLine& line, bool execute);
    Status Start(const ScriptLine& line, bool execute);
    Status Stop(const ScriptLine& line, bool execute);
    Status Invoke(const ScriptLine& line, bool execute);
    Status QueueDialogStep(const ScriptLine& line, bool execute);
    Status ExpectHeld(const ScriptLine& line, bool execute);
    Status Answer(const ScriptLine& line, bool execute);
    Status Dump(const ScriptLine& line, bool execute);

    std::string Path(const std::string& path) const;
    std::string MenuDescription() const;

    Environment env_;
    DialogScript dialogs_;
    int failedLine_ = 0;  // set when a failure belongs to an earlier line than the one running
};

// Writes UTF-8 text to a file, or to standard output for "-".
Status WriteOutput(const std::string& target, const std::string& text);

}  // namespace marupo::devhost
