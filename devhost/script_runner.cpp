#include "devhost/script_runner.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "devhost/book_file.h"
#include "devhost/host_methods.h"
#include "devhost/main_window.h"
#include "devhost/text_codec.h"
#include "ui/message_pump.h"

namespace marupo::devhost {
namespace {

std::wstring Wide(const std::string& utf8) {
    auto text = FromUtf8(utf8).value_or(std::u16string());
    return std::wstring(text.begin(), text.end());
}

}  // namespace

Status WriteOutput(const std::string& target, const std::string& text) {
    bool written;
    if (target == "-") {
        std::fflush(stdout);
        _setmode(_fileno(stdout), _O_BINARY);
        written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        std::fflush(stdout);
    } else {
        std::ofstream out(std::filesystem::u8path(target), std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        written = static_cast<bool>(out);
    }
    return Check(written, target + ": cannot write");
}

// One row per statement: its keyword, how many arguments it takes (kAnyCount: the handler
// checks the form itself) and its handler. The dialog steps (dialog_step.h) come after.
struct ScriptRunner::Statement {
    static constexpr size_t kAnyCount = static_cast<size_t>(-1);
    const char* keyword;
    size_t leastArguments;
    size_t mostArguments;
    Handler handler;
};

const ScriptRunner::Statement ScriptRunner::kStatements[] = {
    {"load", 1, 1, &ScriptRunner::Load},
    {"save", 1, 1, &ScriptRunner::Save},
    {"view", 1, 1, &ScriptRunner::View},
    {"select", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::Select},
    {"private-mode", 1, 1, &ScriptRunner::PrivateMode},
    {"fail", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::Fault},
    {"null", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::Fault},
    {"faults", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::Clear},
    {"errorinfo", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::ErrorInfo},
    {"register", 1, 1, &ScriptRunner::Register},
    {"unregister", 1, 1, &ScriptRunner::Register},
    {"start", 0, 0, &ScriptRunner::Start},
    {"stop", 0, 0, &ScriptRunner::Stop},
    {"invoke", 1, 1, &ScriptRunner::Invoke},
    {"expect-held", 1, 1, &ScriptRunner::ExpectHeld},
    {"answer", 1, 1, &ScriptRunner::Answer},
    {"log", Statement::kAnyCount, Statement::kAnyCount, &ScriptRunner::Clear},
    {"dump", 1, 2, &ScriptRunner::Dump},
};

ScriptRunner::ScriptRunner(Environment environment)
    : env_(std::move(environment)),
      dialogs_([this](const std::string& path) { return Path(path); }) {
    if (env_.agent != nullptr) env_.agent->SetScript(&dialogs_);
}

ScriptRunner::~ScriptRunner() {
    if (env_.agent != nullptr) env_.agent->SetScript(nullptr);
}

Status ScriptRunner::RunFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) return Status::Failure(path + ": cannot open");
    std::ostringstream content;
    content << in.rdbuf();
    auto parsed = ParseScript(content.str());
    if (!parsed.Ok()) return parsed.GetStatus().Prefixed(path + ": ");
    return Run(*parsed).Prefixed(path + ": ");
}

Status ScriptRunner::Run(const std::vector<ScriptLine>& lines) {
    for (bool execute : {false, true}) {
        for (const auto& line : lines) {
            failedLine_ = 0;
            Status status = Apply(line, execute);
            if (!status.Ok()) {
                return status.Prefixed(
                    "line " + std::to_string(failedLine_ != 0 ? failedLine_ : line.number) + ": ");
            }
            if (execute) ui::PumpPendingMessages();
        }
    }
    return {};
}

std::string ScriptRunner::Path(const std::string& path) const {
    if (path == "-" || std::filesystem::u8path(path).is_absolute() ||
        (path.size() > 1 && path[1] == ':') || path.front() == '/' || path.front() == '\\') {
        return path;
    }
    return env_.baseDirectory + path;
}

std::string ScriptRunner::MenuDescription() const {
    if (env_.window != nullptr && env_.window->Handle() != nullptr) {
        return env_.window->DescribeAddressMenu();
    }
    std::string lines;
    for (const auto& item : env_.state->menuItems) {
        lines += std::to_string(item.commandId) + " " + QuoteText(item.ItemText()) + "\n";
    }
    return lines;
}

Status ScriptRunner::Apply(const ScriptLine& line, bool execute) {
    const std::string verb = line.Keyword();
    for (const Statement& statement : kStatements) {
        if (verb != statement.keyword) continue;
        const size_t arguments = line.words.size() - 1;
        const size_t least = statement.leastArguments, most = statement.mostArguments;
        if (least != Statement::kAnyCount && (arguments < least || arguments > most)) {
            return Status::Failure("`" + verb + "` takes " +
                                   (least == most
                                        ? std::to_string(least)
                                        : std::to_string(least) + " to " + std::to_string(most)) +
                                   " argument(s)");
        }
        return (this->*statement.handler)(line, execute);
    }
    if (IsDialogStepKeyword(verb)) return QueueDialogStep(line, execute);
    return Status::Failure("unknown statement `" + verb + "`");
}

Status ScriptRunner::Load(const ScriptLine& line, bool execute) {
    if (!execute) return {};
    auto loaded = LoadBookFile(Path(line.Word(1)));
    if (!loaded.Ok()) return loaded.GetStatus();
    env_.state->book = std::move(*loaded);
    env_.state->NotifyBookChanged();
    return {};
}

Status ScriptRunner::Save(const ScriptLine& line, bool execute) {
    if (!execute) return {};
    return SaveBookFile(env_.state->book, Path(line.Word(1)));
}

Status ScriptRunner::View(const ScriptLine& line, bool execute) {
    if (!execute) return {};
    Book& book = env_.state->book;
    const std::u16string& category = line.words[1];
    if (category != kAllCategories && !book.HasCategory(category)) {
        return Status::Failure("unknown category `" + line.Word(1) + "`");
    }
    book.SetViewCategory(category);
    env_.state->NotifyBookChanged();
    return {};
}

Status ScriptRunner::Select(const ScriptLine& line, bool execute) {
    std::vector<int> ids;
    for (size_t i = 1; i < line.words.size(); ++i) {
        auto id = ParseNumber(line.Word(i));
        if (!id) return Status::Failure("`select` takes record ids");
        ids.push_back(*id);
    }
    if (!execute) return {};
    if (!env_.state->book.SetSelection(ids)) {
        return Status::Failure("unknown or repeated record id");
    }
    env_.state->NotifyBookChanged();
    return {};
}

Status ScriptRunner::PrivateMode(const ScriptLine& line, bool execute) {
    auto mode = ParseNumber(line.Word(1));
    if (!mode) return Status::Failure("`private-mode` takes a number (3 = private records shown)");
    if (!execute) return {};
    env_.state->book.SetPrivateDisplayMode(*mode);
    env_.state->NotifyBookChanged();
    return {};
}

// fail every M HR [TEXT] | fail nth K M HR [TEXT] | fail call N HR [TEXT]
// null every M | null nth K M
Status ScriptRunner::Fault(const ScriptLine& line, bool execute) {
    const std::string verb = line.Keyword();
    const size_t count = line.words.size();
    FaultInjector& faults = env_.state->faults;
    std::string kind = line.Word(1);
    size_t next = 2;
    int nth = 0;
    if (kind == "nth" || kind == "call") {
        auto n = ParseNumber(line.Word(2));
        if (!n || *n <= 0) return Status::Failure("`" + kind + "` needs a count from 1");
        nth = *n;
        next = 3;
    } else if (kind != "every") {
        return Status::Failure("`" + verb + "` is followed by `every`, `nth` or `call`");
    }
    if (verb == "null" && kind == "call") {
        return Status::Failure("`null` names a method: `every` or `nth`");
    }
    std::string method;
    if (kind != "call") {
        method = line.Word(next++);
        if (!MethodExists(method)) return Status::Failure("no host method `" + method + "`");
        if (verb == "null" && !MethodReturnsTextOrInterface(method)) {
            return Status::Failure("`" + method + "` hands back no text or interface");
        }
    }
    if (verb == "null") {
        if (count != next) return Status::Failure("too many words");
        if (!execute) return {};
        kind == "every" ? faults.NullEvery(method) : faults.NullNth(nth, method);
        return {};
    }
    if (count != next + 1 && count != next + 2) {
        return Status::Failure("`fail` needs an HRESULT and may have a text");
    }
    auto hr = ParseHresult(line.Word(next));
    if (!hr) return Status::Failure("not an HRESULT: `" + line.Word(next) + "`");
    std::optional<std::u16string> description;
    if (count == next + 2) description = line.words[next + 1];
    if (!execute) return {};
    if (kind == "every") {
        faults.FailEvery(method, *hr, description);
    } else if (kind == "nth") {
        faults.FailNth(nth, method, *hr, description);
    } else {
        faults.FailCall(nth, *hr, description);
    }
    return {};
}

// faults clear | log clear
Status ScriptRunner::Clear(const ScriptLine& line, bool execute) {
    const std::string verb = line.Keyword();
    if (line.words.size() != 2 || line.Word(1) != "clear") {
        return Status::Failure("`" + verb + " clear` is the only form");
    }
    if (!execute) return {};
    if (verb == "faults") {
        env_.state->faults.Clear();
    } else {
        env_.state->log.Clear();
    }
    return {};
}

Status ScriptRunner::ErrorInfo(const ScriptLine& line, bool execute) {
    if (line.words.size() != 2 || (line.Word(1) != "on" && line.Word(1) != "off")) {
        return Status::Failure("`errorinfo on` or `errorinfo off`");
    }
    if (execute) env_.state->errorInfoSupported = line.Word(1) == "on";
    return {};
}

Status ScriptRunner::Register(const ScriptLine& line, bool execute) {
    if (!execute) return {};
    const std::string verb = line.Keyword();
    HRESULT hr = RegisterServerDll(Wide(Path(line.Word(1))), verb == "unregister");
    env_.state->log.Event(verb + " " + line.Word(1) + " -> " + HresultName(hr));
    if (FAILED(hr))
        return Status::Failure(verb + " " + line.Word(1) + " failed: " + HresultName(hr));
    return {};
}

Status ScriptRunner::Start(const ScriptLine&, bool execute) {
    if (execute && !env_.addins->Running()) env_.addins->StartRegistered();
    return {};
}

Status ScriptRunner::Stop(const ScriptLine&, bool execute) {
    if (execute) env_.addins->Stop();
    return {};
}

Status ScriptRunner::Invoke(const ScriptLine& line, bool execute) {
    if (!execute) return {};
    if (!env_.addins->Running()) env_.addins->StartRegistered();
    if (env_.state->FindCommand(line.words[1]) == nullptr) {
        return Status::Failure("no command `" + line.Word(1) + "` is registered");
    }
    env_.addins->Invoke(line.words[1]);
    dialogs_.Finish();
    if (dialogs_.Failed()) {
        failedLine_ = dialogs_.FailedLine();
        return dialogs_.Outcome();
    }
    return {};
}

Status ScriptRunner::QueueDialogStep(const ScriptLine& line, bool execute) {
    auto step = ParseDialogStep(line);
    if (!step.Ok()) return step.GetStatus();
    if (execute) dialogs_.Queue(std::move(*step));
    return {};
}

Status ScriptRunner::ExpectHeld(const ScriptLine& line, bool execute) {
    auto held = ParseNumber(line.Word(1));
    if (!held) return Status::Failure("`expect-held` takes a number");
    if (!execute) return {};
    int now = env_.addins->HeldObjects();
    if (now == *held) return {};
    return Status::Failure("the add-ins hold " + std::to_string(now) +
                           " host object(s), expected " + line.Word(1));
}

Status ScriptRunner::Answer(const ScriptLine& line, bool execute) {
    auto button = ParseButton(line.Word(1));
    if (!button) {
        return Status::Failure("`answer` takes OK, CANCEL, YES, NO, ABORT, RETRY, IGNORE or an id");
    }
    if (execute && env_.agent != nullptr) env_.agent->AnswerNextMessageBox(*button);
    return {};
}

Status ScriptRunner::Dump(const ScriptLine& line, bool execute) {
    std::string what = line.Word(1);
    if (what != "book" && what != "log" && what != "menu") {
        return Status::Failure("`dump` takes book, log or menu");
    }
    if (!execute) return {};
    std::string text = what == "book"  ? FormatBook(env_.state->book)
                       : what == "log" ? env_.state->log.Text()
                                       : MenuDescription();
    return WriteOutput(line.words.size() == 3 ? Path(line.Word(2)) : "-", text);
}

}  // namespace marupo::devhost
