#include "registrar/script_parser.h"

#include <array>
#include <utility>

#include "registrar/ascii_case.h"
#include "registrar/value_text.h"

namespace marupo::registrar {
namespace {

struct RootName {
    const wchar_t* shortName;
    const wchar_t* longName;
    RootKey root;
};

constexpr std::array<RootName, 7> kRootNames = {{
    {L"HKCR", L"HKEY_CLASSES_ROOT", RootKey::kClassesRoot},
    {L"HKCU", L"HKEY_CURRENT_USER", RootKey::kCurrentUser},
    {L"HKLM", L"HKEY_LOCAL_MACHINE", RootKey::kLocalMachine},
    {L"HKU", L"HKEY_USERS", RootKey::kUsers},
    {L"HKPD", L"HKEY_PERFORMANCE_DATA", RootKey::kPerformanceData},
    {L"HKDD", L"HKEY_DYN_DATA", RootKey::kDynData},
    {L"HKCC", L"HKEY_CURRENT_CONFIG", RootKey::kCurrentConfig},
}};

// A failure while reading: the error and the token where it was found.
struct Refusal {
    ScriptError error;
    const Token* token;
};

class Parser {
  public:
    explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    Script ParseAll() {
        Script script;
        while (Peek().kind != TokenKind::kEnd) {
            RootBlock block;
            block.root = ReadRoot();
            Expect(TokenKind::kOpenBrace, ScriptError::kExpectedOpenBrace);
            ReadBlock(block.entries, 1);
            script.push_back(std::move(block));
        }
        return script;
    }

  private:
    const Token& Peek() const { return tokens_[at_]; }
    const Token& Take() {
        const Token& token = tokens_[at_];
        if (token.kind != TokenKind::kEnd) ++at_;
        return token;
    }
    [[noreturn]] void Refuse(ScriptError error) const { throw Refusal{error, &Peek()}; }
    void Expect(TokenKind kind, ScriptError error) {
        if (Peek().kind != kind) Refuse(error);
        Take();
    }
    bool TakeKeyword(const wchar_t* keyword) {
        if (Peek().kind != TokenKind::kWord || !EqualsIgnoringCase(Peek().text, keyword))
            return false;
        Take();
        return true;
    }

    RootKey ReadRoot() {
        if (Peek().kind == TokenKind::kWord) {
            for (const RootName& name : kRootNames) {
                if (EqualsIgnoringCase(Peek().text, name.shortName) ||
                    EqualsIgnoringCase(Peek().text, name.longName)) {
                    Take();
                    return name.root;
                }
            }
        }
        Refuse(ScriptError::kExpectedRootKey);
    }

    void ReadBlock(std::vector<Entry>& entries, std::size_t depth) {
        if (depth > kMaxNesting) Refuse(ScriptError::kNestingTooDeep);
        while (Peek().kind != TokenKind::kCloseBrace) {
            if (Peek().kind == TokenKind::kEnd) Refuse(ScriptError::kMissingCloseBrace);
            entries.push_back(TakeKeyword(L"Val") ? ReadValueEntry() : ReadKeyEntry(depth));
        }
        Take();
    }

    Entry ReadValueEntry() {
        Entry entry;
        entry.kind = Entry::Kind::kValue;
        entry.name = ReadName();
        Expect(TokenKind::kEquals, ScriptError::kExpectedEquals);
        entry.value = ReadTypedValue();
        return entry;
    }

    Entry ReadKeyEntry(std::size_t depth) {
        Entry entry;
        if (TakeKeyword(L"ForceRemove")) {
            entry.marker = KeyMarker::kForceRemove;
        } else if (TakeKeyword(L"NoRemove")) {
            entry.marker = KeyMarker::kNoRemove;
        } else if (TakeKeyword(L"Delete")) {
            entry.marker = KeyMarker::kDelete;
        }
        // An empty name would stand for the parent key itself and a path would reach past it.
        if (Peek().kind == TokenKind::kQuoted && Peek().text.empty())
            Refuse(ScriptError::kEmptyKeyName);
        if (Peek().text.find(L'\\') != std::wstring::npos) Refuse(ScriptError::kBackslashInKeyName);
        entry.name = ReadName();
        if (Peek().kind == TokenKind::kEquals) {
            Take();
            entry.value = ReadTypedValue();
        }
        if (Peek().kind == TokenKind::kOpenBrace) {
            Take();
            ReadBlock(entry.children, depth + 1);
        }
        return entry;
    }

    std::wstring ReadName() {
        if (Peek().kind != TokenKind::kWord && Peek().kind != TokenKind::kQuoted)
            Refuse(ScriptError::kExpectedName);
        // The registry ends a name at its first NUL: 'a\0b' would reach it as a, and a name
        // that starts with NUL as the empty name, which stands for the parent key itself.
        if (Peek().text.find(L'\0') != std::wstring::npos) Refuse(ScriptError::kNulInName);
        return Take().text;
    }

    RegistryValue ReadTypedValue() {
        RegistryValue value;
        if (TakeKeyword(L"s")) {
            value.type = ValueType::kString;
        } else if (TakeKeyword(L"d")) {
            value.type = ValueType::kDword;
        } else if (TakeKeyword(L"b")) {
            value.type = ValueType::kBinary;
        } else {
            Refuse(ScriptError::kUnknownType);
        }
        if (Peek().kind != TokenKind::kQuoted) Refuse(ScriptError::kExpectedQuotedValue);
        ScriptError error = ScriptError::kNone;
        switch (value.type) {
            case ValueType::kString:
                value.text = Peek().text;
                break;
            case ValueType::kDword:
                error = ParseDword(Peek().text, value.number);
                break;
            case ValueType::kBinary:
                error = ParseBinary(Peek().text, value.bytes);
                break;
        }
        if (error != ScriptError::kNone) Refuse(error);
        Take();
        return value;
    }

    const std::vector<Token>& tokens_;
    std::size_t at_ = 0;
};

}  // namespace

ParseResult ParseScript(std::wstring_view text, const Replacements& replacements) {
    ParseResult result;
    std::wstring expanded;
    result.error = ExpandReplacements(text, replacements, expanded, result.errorLine);
    if (result.error != ScriptError::kNone) return result;
    const TokenList list = Tokenize(expanded);
    if (list.error != ScriptError::kNone) {
        result.error = list.error;
        result.errorLine = list.errorLine;
        return result;
    }
    try {
        result.script = Parser(list.tokens).ParseAll();
    } catch (const Refusal& refusal) {
        result.error = refusal.error;
        result.errorLine = refusal.token->line;
    }
    return result;
}

}  // namespace marupo::registrar
