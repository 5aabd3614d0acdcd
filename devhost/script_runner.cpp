#include "devhost/script_runner.h"

#include <fcntl.h>
#include <io.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "devhost/book_file.h"
#include "devhost/host_methods.h"
#include "devhost/main_window.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

std::optional<int> Number(const std::string& word) {
    int value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
    return value;
}

std::wstring Wide(const std::string& utf8) {
    auto text = FromUtf8(utf8).value_or(std::u16string());
    return std::wstring(text.begin(), text.end());
}

}  // namespace

bool WriteOutput(const std::string& target, const std::string& text) {
    if (target == "-") {
        std::fflush(stdout);
        _setmode(_fileno(stdout), _O_BINARY);
        bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        std::fflush(stdout);
        return ok;
    }
    std::ofstream out(std::filesystem::u8path(target), std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

ScriptRunner::ScriptRunner(Environment environment)
    : env_(std::move(environment)),
      dialogs_([this](const std::string& path) { return Path(path); }) {
    if (env_.agent != nullptr) env_.agent->SetScript(&dialogs_);
}

ScriptRunner::~ScriptRunner() {
    if (env_.agent != nullptr) env_.agent->SetScript(nullptr);
}

bool ScriptRunner::RunFile(const std::string& path, std::string* error) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    auto parsed = ParseScript(content.str());
    if (!parsed.error.empty()) {
        *error = path + ": " + parsed.error;
        return false;
    }
    if (!Run(parsed.lines, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

bool ScriptRunner::Run(const std::vector<ScriptLine>& lines, std::string* error) {
    for (bool execute : {false, true}) {
        for (const auto& line : lines) {
            failedLine_ = 0;
            std::string problem = Apply(line, execute);
            if (!problem.empty()) {
                *error = "line " + std::to_string(failedLine_ != 0 ? failedLine_ : line.number) +
                         ": " + problem;
                return false;
            }
            if (execute) PumpPendingMessages();
        }
    }
    return true;
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

std::string ScriptRunner::Apply(const ScriptLine& line, bool execute) {
    const std::string verb = line.Keyword();
    const size_t count = line.words.size();
    HostState& state = *env_.state;
    Book& book = state.book;
    auto expect = [&](size_t least, size_t most) -> std::string {
        if (count - 1 < least || count - 1 > most) {
            return "`" + verb + "` takes " +
                   (least == most ? std::to_string(least)
                                  : std::to_string(least) + " to " + std::to_string(most)) +
                   " argument(s)";
        }
        return {};
    };

    if (verb == "load" || verb == "save") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        if (!execute) return {};
        if (verb == "save") {
            std::string problem;
            return SaveBookFile(book, Path(line.Word(1)), &problem) ? std::string() : problem;
        }
        auto loaded = LoadBookFile(Path(line.Word(1)));
        if (!loaded.book) return loaded.error;
        book = std::move(*loaded.book);
        state.NotifyBookChanged();
        return {};
    }
    if (verb == "view") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        if (!execute) return {};
        const std::u16string& category = line.words[1];
        if (category != kAllCategories && !book.HasCategory(category)) {
            return "unknown category `" + line.Word(1) + "`";
        }
        book.SetViewCategory(category);
        state.NotifyBookChanged();
        return {};
    }
    if (verb == "select") {
        std::vector<int> ids;
        for (size_t i = 1; i < count; ++i) {
            auto id = Number(line.Word(i));
            if (!id) return "`select` takes record ids";
            ids.push_back(*id);
        }
        if (!execute) return {};
        if (!book.SetSelection(ids)) return "unknown or repeated record id";
        state.NotifyBookChanged();
        return {};
    }
    if (verb == "private-mode") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        auto mode = Number(line.Word(1));
        if (!mode) return "`private-mode` takes a number (3 = private records shown)";
        if (!execute) return {};
        book.SetPrivateDisplayMode(*mode);
        state.NotifyBookChanged();
        return {};
    }
    if (verb == "fail" || verb == "null") {
        // fail every M HR [TEXT] | fail nth K M HR [TEXT] | fail call N HR [TEXT]
        // null every M | null nth K M
        std::string kind = line.Word(1);
        size_t next = 2;
        int nth = 0;
        if (kind == "nth" || kind == "call") {
            auto n = Number(line.Word(2));
            if (!n || *n <= 0) return "`" + kind + "` needs a count from 1";
            nth = *n;
            next = 3;
        } else if (kind != "every") {
            return "`" + verb + "` is followed by `every`, `nth` or `call`";
        }
        if (verb == "null" && kind == "call") return "`null` names a method: `every` or `nth`";
        std::string method;
        if (kind != "call") {
            method = line.Word(next++);
            if (!MethodExists(method)) return "no host method `" + method + "`";
            if (verb == "null" && !MethodReturnsTextOrInterface(method)) {
                return "`" + method + "` hands back no text or interface";
            }
        }
        if (verb == "null") {
            if (count != next) return "too many words";
            if (!execute) return {};
            kind == "every" ? state.faults.NullEvery(method) : state.faults.NullNth(nth, method);
            return {};
        }
        if (count != next + 1 && count != next + 2)
            return "`fail` needs an HRESULT and may have a text";
        auto hr = ParseHresult(line.Word(next));
        if (!hr) return "not an HRESULT: `" + line.Word(next) + "`";
        std::optional<std::u16string> description;
        if (count == next + 2) description = line.words[next + 1];
        if (!execute) return {};
        if (kind == "every") {
            state.faults.FailEvery(method, *hr, description);
        } else if (kind == "nth") {
            state.faults.FailNth(nth, method, *hr, description);
        } else {
            state.faults.FailCall(nth, *hr, description);
        }
        return {};
    }
    if (verb == "faults") {
        if (count != 2 || line.Word(1) != "clear") return "`faults clear` is the only form";
        if (execute) state.faults.Clear();
        return {};
    }
    if (verb == "errorinfo") {
        if (count != 2 || (line.Word(1) != "on" && line.Word(1) != "off")) {
            return "`errorinfo on` or `errorinfo off`";
        }
        if (execute) state.errorInfoSupported = line.Word(1) == "on";
        return {};
    }
    if (verb == "register" || verb == "unregister") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        if (!execute) return {};
        HRESULT hr = RegisterServerDll(Wide(Path(line.Word(1))), verb == "unregister");
        state.log.Event(verb + " " + line.Word(1) + " -> " + HresultName(hr));
        return FAILED(hr) ? verb + " " + line.Word(1) + " failed: " + HresultName(hr)
                          : std::string();
    }
    if (verb == "start" || verb == "stop") {
        if (auto e = expect(0, 0); !e.empty()) return e;
        if (!execute) return {};
        if (verb == "stop") {
            env_.addins->Stop();
        } else if (!env_.addins->Running()) {
            env_.addins->StartRegistered();
        }
        return {};
    }
    if (verb == "invoke") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        if (!execute) return {};
        if (!env_.addins->Running()) env_.addins->StartRegistered();
        if (state.FindCommand(line.words[1]) == nullptr) {
            return "no command `" + line.Word(1) + "` is registered";
        }
        env_.addins->Invoke(line.words[1]);
        dialogs_.Finish();
        if (dialogs_.Failed()) {
            failedLine_ = dialogs_.FailedLine();
            return dialogs_.Error();
        }
        return {};
    }
    if (IsDialogStepKeyword(verb)) {
        DialogStep step;
        if (auto e = ParseDialogStep(line, &step); !e.empty()) return e;
        if (execute) dialogs_.Queue(std::move(step));
        return {};
    }
    if (verb == "expect-held") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        auto held = Number(line.Word(1));
        if (!held) return "`expect-held` takes a number";
        if (!execute) return {};
        int now = env_.addins->HeldObjects();
        return now == *held ? std::string()
                            : "the add-ins hold " + std::to_string(now) +
                                  " host object(s), expected " + line.Word(1);
    }
    if (verb == "answer") {
        if (auto e = expect(1, 1); !e.empty()) return e;
        int button = 0;
        if (!ParseButton(line.Word(1), &button))
            return "`answer` takes OK, CANCEL, YES, NO, ABORT, RETRY, IGNORE or an id";
        if (execute && env_.agent != nullptr) env_.agent->AnswerNextMessageBox(button);
        return {};
    }
    if (verb == "log") {
        if (count != 2 || line.Word(1) != "clear") return "`log clear` is the only form";
        if (execute) state.log.Clear();
        return {};
    }
    if (verb == "dump") {
        if (auto e = expect(1, 2); !e.empty()) return e;
        std::string what = line.Word(1);
        if (what != "book" && what != "log" && what != "menu") {
            return "`dump` takes book, log or menu";
        }
        if (!execute) return {};
        std::string text = what == "book"  ? FormatBook(book)
                           : what == "log" ? state.log.Text()
                                           : MenuDescription();
        std::string target = count == 3 ? Path(line.Word(2)) : "-";
        return WriteOutput(target, text) ? std::string() : target + ": cannot write";
    }
    return "unknown statement `" + verb + "`";
}

}  // namespace marupo::devhost
