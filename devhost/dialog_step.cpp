#include "devhost/dialog_step.h"

#include <string_view>
#include <utility>

namespace marupo::devhost {
namespace {

using Kind = DialogStep::Kind;

struct Form {
    const char* keyword;
    Kind kind;
    // The arguments: ID, TEXT, FILE, BUTTON, KEY, 0|1; a trailing `?` marks an optional one, `+`
    // one that may repeat and `*` one that may also be left out.
    const char* usage;
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
    {"key", Kind::kKey, "ID KEY+"},
    {"expect-checked", Kind::kExpectChecked, "ID 0|1"},
    {"expect-enabled", Kind::kExpectEnabled, "ID 0|1"},
    {"expect-items", Kind::kExpectItems, "ID TEXT*"},
};

struct NamedKey {
    const char* name;
    int virtualKey;
};

constexpr NamedKey kKeys[] = {
    {"Backspace", 0x08}, {"Tab", 0x09},      {"Enter", 0x0D}, {"Escape", 0x1B}, {"Space", 0x20},
    {"PageUp", 0x21},    {"PageDown", 0x22}, {"End", 0x23},   {"Home", 0x24},   {"Left", 0x25},
    {"Up", 0x26},        {"Right", 0x27},    {"Down", 0x28},  {"Insert", 0x2D}, {"Delete", 0x2E},
};

const Form* FindForm(const std::string& keyword) {
    for (const auto& form : kForms) {
        if (keyword == form.keyword) return &form;
    }
    return nullptr;
}

// The virtual-key code of a key name.
std::optional<int> ParseKeyName(std::string_view name) {
    for (const auto& key : kKeys) {
        if (name == key.name) return key.virtualKey;
    }
    if (name.size() == 1 &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
        return name[0];  // letters and digits are their own virtual-key codes
    }
    if (name.size() < 2 || name[0] != 'F') return std::nullopt;
    auto number = ParseNumber(name.substr(1));
    if (!number || *number < 1 || *number > 12) return std::nullopt;
    return 0x6F + *number;  // VK_F1 is 0x70
}

}  // namespace

std::optional<KeyStroke> ParseKey(const std::string& word) {
    KeyStroke key;
    std::string_view rest = word;
    const std::pair<std::string_view, bool KeyStroke::*> modifiers[] = {
        {"Shift+", &KeyStroke::shift}, {"Ctrl+", &KeyStroke::control}, {"Alt+", &KeyStroke::alt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, flag] : modifiers) {
            if (rest.size() > prefix.size() && rest.substr(0, prefix.size()) == prefix) {
                key.*flag = true;
                rest.remove_prefix(prefix.size());
                found = true;
            }
        }
    }
    auto virtualKey = ParseKeyName(rest);
    if (!virtualKey) return std::nullopt;
    key.virtualKey = *virtualKey;
    return key;
}

bool IsDialogStepKeyword(const std::string& keyword) {
    return FindForm(keyword) != nullptr;
}

std::optional<int> ParseButton(const std::string& word) {
    static const std::pair<const char*, int> kButtons[] = {
        {"OK", 1}, {"CANCEL", 2}, {"ABORT", 3}, {"RETRY", 4}, {"IGNORE", 5}, {"YES", 6}, {"NO", 7}};
    for (const auto& [name, value] : kButtons) {
        if (word == name) return value;
    }
    return ParseNumber(word);
}

Result<DialogStep> ParseDialogStep(const ScriptLine& line) {
    const Form* form = FindForm(line.Keyword());
    if (form == nullptr) return Status::Failure("unknown statement `" + line.Keyword() + "`");
    const std::string usage = "`" + line.Keyword() + " " + form->usage + "`";
    size_t required = 0, optional = 0;
    bool repeats = false;
    for (std::string_view rest = form->usage; !rest.empty();) {
        size_t end = rest.find(' ');
        std::string_view word = rest.substr(0, end);
        ++(word.back() == '?' || word.back() == '*' ? optional : required);
        repeats |= word.back() == '+' || word.back() == '*';
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const size_t given = line.words.size() - 1;
    if (given < required || (given > required + optional && !repeats)) {
        return Status::Failure("expected " + usage);
    }

    DialogStep step;
    step.kind = form->kind;
    step.line = line.number;
    switch (form->kind) {
        case Kind::kDialog:
        case Kind::kTab:
            step.text = line.words[1];
            break;
        case Kind::kMessageBox:
            step.text = line.words[1];
            step.control = 1;
            if (given == 2) {
                auto button = ParseButton(line.Word(2));
                if (!button) return Status::Failure("not a button: `" + line.Word(2) + "`");
                step.control = *button;
            }
            break;
        case Kind::kClose: {
            auto button = ParseButton(line.Word(1));
            if (!button) return Status::Failure("not a button: `" + line.Word(1) + "`");
            step.control = *button;
            break;
        }
        case Kind::kScreenshot:
            step.path = line.Word(1);
            break;
        default: {
            auto control = ParseNumber(line.Word(1));
            if (!control || *control < 0) {
                return Status::Failure("not a control id: `" + line.Word(1) + "`");
            }
            step.control = *control;
            break;
        }
    }
    switch (form->kind) {
        case Kind::kKey:
            for (size_t i = 2; i < line.words.size(); ++i) {
                auto key = ParseKey(line.Word(i));
                if (!key) return Status::Failure("not a key: `" + line.Word(i) + "`");
                step.keys.push_back(*key);
            }
            break;
        case Kind::kExpectChecked:
        case Kind::kExpectEnabled:
            if (line.Word(2) != "0" && line.Word(2) != "1")
                return Status::Failure("not 0 or 1: `" + line.Word(2) + "`");
            step.state = line.Word(2) == "1";
            break;
        case Kind::kExpectItems:
            step.items.assign(line.words.begin() + 2, line.words.end());
            break;
        case Kind::kSet:
        case Kind::kChoose:
        case Kind::kExpect:
        case Kind::kIme:
            step.text = line.words[2];
            if (given >= 3) step.committed = line.words[3];
            break;
        default:
            break;
    }
    return step;
}

}  // namespace marupo::devhost
