#include "devhost/dialog_step.h"

#include <charconv>
#include <utility>

namespace marupo::devhost {
namespace {

using Kind = DialogStep::Kind;

struct Form {
    const char* keyword;
    Kind kind;
    const char* usage;  // the arguments: ID, TEXT, FILE, BUTTON; a trailing `?` marks optional
};

constexpr Form kForms[] = {
    {"dialog", Kind::kDialog, "TEXT"},
    {"messagebox", Kind::kMessageBox, "TEXT BUTTON?"},
    {"set", Kind::kSet, "ID TEXT"},
    {"click", Kind::kClick, "ID"},
    {"check", Kind::kCheck, "ID"},
    {"uncheck", Kind::kUncheck, "ID"},
    {"choose", Kind::kChoose, "ID TEXT"},
    {"tab", Kind::kTab, "TEXT"},
    {"expect", Kind::kExpect, "ID TEXT"},
    {"ime", Kind::kIme, "ID TEXT TEXT"},
    {"screenshot", Kind::kScreenshot, "FILE"},
    {"close", Kind::kClose, "BUTTON"},
};

const Form* FindForm(const std::string& keyword) {
    for (const auto& form : kForms) {
        if (keyword == form.keyword) return &form;
    }
    return nullptr;
}

bool ParseNumber(const std::string& word, int* value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return ec == std::errc() && end == word.data() + word.size() && !word.empty();
}

}  // namespace

bool IsDialogStepKeyword(const std::string& keyword) {
    return FindForm(keyword) != nullptr;
}

bool ParseButton(const std::string& word, int* id) {
    static const std::pair<const char*, int> kButtons[] = {
        {"OK", 1}, {"CANCEL", 2}, {"ABORT", 3}, {"RETRY", 4}, {"IGNORE", 5}, {"YES", 6}, {"NO", 7}};
    for (const auto& [name, value] : kButtons) {
        if (word == name) {
            *id = value;
            return true;
        }
    }
    return ParseNumber(word, id);
}

std::string ParseDialogStep(const ScriptLine& line, DialogStep* step) {
    const Form* form = FindForm(line.Keyword());
    if (form == nullptr) return "unknown statement `" + line.Keyword() + "`";
    const std::string usage = "`" + line.Keyword() + " " + form->usage + "`";
    size_t required = 0, optional = 0;
    for (std::string_view rest = form->usage; !rest.empty();) {
        size_t end = rest.find(' ');
        std::string_view word = rest.substr(0, end);
        ++(word.back() == '?' ? optional : required);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const size_t given = line.words.size() - 1;
    if (given < required || given > required + optional) return "expected " + usage;

    *step = DialogStep{};
    step->kind = form->kind;
    step->line = line.number;
    switch (form->kind) {
        case Kind::kDialog:
        case Kind::kTab:
            step->text = line.words[1];
            break;
        case Kind::kMessageBox:
            step->text = line.words[1];
            step->control = 1;
            if (given == 2 && !ParseButton(line.Word(2), &step->control)) {
                return "not a button: `" + line.Word(2) + "`";
            }
            break;
        case Kind::kClose:
            if (!ParseButton(line.Word(1), &step->control)) {
                return "not a button: `" + line.Word(1) + "`";
            }
            break;
        case Kind::kScreenshot:
            step->path = line.Word(1);
            break;
        default:
            if (!ParseNumber(line.Word(1), &step->control) || step->control < 0) {
                return "not a control id: `" + line.Word(1) + "`";
            }
            if (given >= 2) step->text = line.words[2];
            if (given >= 3) step->committed = line.words[3];
            break;
    }
    return {};
}

}  // namespace marupo::devhost
