#include "postal/town_area_notes.h"

#include <algorithm>

#include "text/sjis.h"

namespace marupo::postal {
namespace {

constexpr std::string_view kOpen = "\x81\x69";                                       // （
constexpr std::string_view kClose = "\x81\x6A";                                      // ）
constexpr std::string_view kQuoteOpen = "\x81\x75";                                  // 「
constexpr std::string_view kQuoteClose = "\x81\x76";                                 // 」
constexpr std::string_view kCounty = "\x8C\x53";                                     // 郡
constexpr std::string_view kWholeArea = "\x88\xEA\x89\x7E";                          // 一円
constexpr std::string_view kNextTo = "\x82\xCC\x8E\x9F\x82\xC9";                     // の次に
constexpr std::string_view kComesCase = "\x82\xAA\x82\xAD\x82\xE9\x8F\xEA\x8D\x87";  // がくる場合
constexpr std::string_view kFloorMark = "\x8A\x4B";                                  // 階

constexpr std::string_view kOtherAddressNotes[] = {
    "\x82\xBB\x82\xCC\x91\xBC",                                  // その他
    "\x8E\x9F\x82\xCC\x83\x72\x83\x8B\x82\xF0\x8F\x9C\x82\xAD",  // 次のビルを除く
    "\x92\x6E\x8A\x4B\x81\x45\x8A\x4B\x91\x77\x95\x73\x96\xBE",  // 地階・階層不明
    "\x92\x9A\x96\xDA",                                          // 丁目
    "\x94\xD4\x92\x6E",                                          // 番地
};
// The words a lot-number note may hold besides numbers, longest first where one starts another.
constexpr std::string_view kLotWords[] = {
    "\x94\xD4\x92\x6E",  // 番地
    "\x92\x9A\x96\xDA",  // 丁目
    "\x88\xC8\x8F\xE3",  // 以上
    "\x88\xC8\x89\xBA",  // 以下
    "\x88\xC8\x8D\x7E",  // 以降
    "\x88\xC8\x93\xE0",  // 以内
    "\x94\xD4",          // 番
    "\x8D\x86",          // 号
};
// What joins numbers in a lot-number note.
constexpr std::string_view kLotJoins[] = {
    "\x81\x60",  // ～
    "\x81\x41",  // 、
    "\x81\x45",  // ・
    "\x81\x7C",  // －
    "\x82\xCC",  // の
};
constexpr std::string_view kExceptionEndings[] = {
    "\x82\xF0\x8F\x9C\x82\xAD",  // を除く
    "\x88\xC8\x8A\x4F",          // 以外
    "\x82\xF0\x8A\xDC\x82\xDE",  // を含む
};
constexpr std::string_view kNoPlaceWords[] = {
    "\x91\xE5\x8E\x9A",  // 大字
    "\x91\x53\x88\xE6",  // 全域
};
// What separates the places of a list or a range.
constexpr std::string_view kListMarks[] = {
    "\x81\x41",  // 、
    "\x81\x45",  // ・
    "\x81\x60",  // ～
};

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix &&
           text::IsCharBoundary(text, text.size() - suffix.size());
}

bool IsFullWidthDigit(std::string_view character) {
    return character.size() == 2 && character[0] == '\x82' && character[1] >= '\x4F' &&
           character[1] <= '\x58';
}

// A text split into the parts outside and inside top-level brackets `open` … `close`. An opening
// bracket that is never closed leaves the rest as an outside part, bracket and all.
struct Part {
    std::string text;
    bool inside;
};

std::vector<Part> SplitBrackets(std::string_view text, std::string_view open,
                                std::string_view close) {
    std::vector<Part> parts(1, Part{std::string(), false});
    std::size_t depth = 0;
    std::size_t openedAt = 0;  // where the open bracket stands in `text`
    const text::Characters characters(text);
    for (auto it = characters.begin(); it != characters.end(); ++it) {
        const std::string_view character = *it;
        if (character == open) {
            if (depth++ == 0) {
                openedAt = it.position();
                parts.push_back(Part{std::string(), true});
                continue;
            }
        } else if (character == close && depth > 0 && --depth == 0) {
            parts.push_back(Part{std::string(), false});
            continue;
        }
        parts.back().text.append(character);
    }
    if (depth > 0) {
        // Never closed: the text from the bracket on stays outside, as the file has it.
        parts.pop_back();
        parts.back().text.append(text.substr(openedAt));
    }
    return parts;
}

// The text outside its 「…」 parts, which qualify a name or a number.
std::string Unquoted(std::string_view text) {
    std::string outside;
    for (const Part& part : SplitBrackets(text, kQuoteOpen, kQuoteClose)) {
        if (!part.inside) outside += part.text;
    }
    return outside;
}

bool IsOtherAddresses(std::string_view note) {
    return std::find(std::begin(kOtherAddressNotes), std::end(kOtherAddressNotes), note) !=
           std::end(kOtherAddressNotes);
}

bool IsLotNumbers(std::string_view note) {
    const std::string text = Unquoted(note);
    bool digit = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = std::string_view(text).substr(at);
        const auto word =
            std::find_if(std::begin(kLotWords), std::end(kLotWords),
                         [rest](std::string_view w) { return rest.rfind(w, 0) == 0; });
        if (word != std::end(kLotWords)) {
            at += word->size();
            continue;
        }
        const std::string_view character = rest.substr(0, text::CharLengthAt(rest, 0));
        if (IsFullWidthDigit(character)) {
            digit = true;
        } else if (std::find(std::begin(kLotJoins), std::end(kLotJoins), character) ==
                   std::end(kLotJoins)) {
            return false;
        }
        at += character.size();
    }
    return digit;
}

bool IsFloor(std::string_view note) {
    if (!EndsWith(note, kFloorMark) || note.size() == kFloorMark.size()) return false;
    for (std::string_view character :
         text::Characters(note.substr(0, note.size() - kFloorMark.size()))) {
        if (!IsFullWidthDigit(character)) return false;
    }
    return true;
}

bool IsExceptions(std::string_view note) {
    const std::string text = Unquoted(note);
    return std::any_of(std::begin(kExceptionEndings), std::end(kExceptionEndings),
                       [&](std::string_view ending) { return EndsWith(text, ending); });
}

bool IsNoPlaceWord(std::string_view note) {
    return std::find(std::begin(kNoPlaceWords), std::end(kNoPlaceWords), note) !=
           std::end(kNoPlaceWords);
}

bool IsSeveralPlaces(std::string_view note) {
    const std::string text = Unquoted(note);
    return std::any_of(std::begin(kListMarks), std::end(kListMarks), [&](std::string_view mark) {
        return text::FindCharWise(text, mark) != std::string::npos;
    });
}

bool IsAnyText(std::string_view) {
    return true;
}

enum class NoteAction { kRemove, kKeepWithoutBrackets, kJoinName };

struct BracketRule {
    NoteRule rule;
    bool (*matches)(std::string_view note);
    NoteAction action;
};

// The rules for a bracketed note, tried in this order; the first that matches decides.
constexpr BracketRule kBracketRules[] = {
    {NoteRule::kOtherAddresses, IsOtherAddresses, NoteAction::kRemove},
    {NoteRule::kLotNumbers, IsLotNumbers, NoteAction::kRemove},
    {NoteRule::kFloor, IsFloor, NoteAction::kKeepWithoutBrackets},
    {NoteRule::kExceptions, IsExceptions, NoteAction::kRemove},
    {NoteRule::kNoPlaceWord, IsNoPlaceWord, NoteAction::kRemove},
    {NoteRule::kSeveralPlaces, IsSeveralPlaces, NoteAction::kRemove},
    {NoteRule::kPlaceName, IsAnyText, NoteAction::kJoinName},
};

const BracketRule& RuleFor(std::string_view note) {
    return *std::find_if(std::begin(kBracketRules), std::end(kBracketRules),
                         [note](const BracketRule& rule) { return rule.matches(note); });
}

void Note(std::vector<NoteRule>* applied, NoteRule rule) {
    if (applied != nullptr && std::find(applied->begin(), applied->end(), rule) == applied->end()) {
        applied->push_back(rule);
    }
}

// A name kept from brackets: its 「…」 parts stay where they name something, and go where
// they are notes themselves (長尾山「その他」).
std::string KeptName(std::string_view name, std::vector<NoteRule>* applied) {
    std::string kept;
    for (const Part& part : SplitBrackets(name, kQuoteOpen, kQuoteClose)) {
        if (!part.inside) {
            kept += part.text;
            continue;
        }
        const BracketRule& rule = RuleFor(part.text);
        if (rule.action == NoteAction::kRemove) {
            Note(applied, rule.rule);
        } else {
            kept.append(kQuoteOpen).append(part.text).append(kQuoteClose);
        }
    }
    return kept;
}

}  // namespace

std::string TakeNotesOut(std::string_view street, std::string_view city,
                         std::vector<NoteRule>* applied) {
    if (street == kNoTownArea) {
        Note(applied, NoteRule::kPlaceholder);
        return std::string();
    }
    // The city as a town area names it: without the county in front (岩船郡粟島浦村).
    std::string_view cityName = city;
    const std::size_t county = text::FindCharWise(city, kCounty);
    if (county != std::string_view::npos) cityName.remove_prefix(county + kCounty.size());
    if (!cityName.empty() && street.size() == cityName.size() + kWholeArea.size() &&
        street.substr(0, cityName.size()) == cityName && EndsWith(street, kWholeArea)) {
        Note(applied, NoteRule::kWholeCity);
        return std::string();
    }

    std::string result;
    for (const Part& part : SplitBrackets(street, kOpen, kClose)) {
        if (!part.inside) {
            if (text::FindCharWise(part.text, kNextTo) != std::string::npos &&
                EndsWith(part.text, kComesCase)) {
                Note(applied, NoteRule::kLotFollowsCity);
            } else {
                result += part.text;
            }
            continue;
        }
        const BracketRule& rule = RuleFor(part.text);
        switch (rule.action) {
            case NoteAction::kRemove:
                Note(applied, rule.rule);
                break;
            case NoteAction::kKeepWithoutBrackets:
                Note(applied, rule.rule);
                result += part.text;
                break;
            case NoteAction::kJoinName: {
                const std::string name = KeptName(part.text, applied);
                if (name.empty()) break;
                if (EndsWith(result, name)) {
                    Note(applied, NoteRule::kRepeatedName);
                } else {
                    Note(applied, rule.rule);
                    result += name;
                }
                break;
            }
        }
    }
    return result;
}

}  // namespace marupo::postal
