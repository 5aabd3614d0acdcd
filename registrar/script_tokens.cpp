#include "registrar/script_tokens.h"

#include <algorithm>

#include "registrar/ascii_case.h"

namespace marupo::registrar {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::size_t LineAt(std::wstring_view text, std::size_t position) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + position, L'\n'));
}

class Scanner {
  public:
    explicit Scanner(std::wstring_view text) : text_(text) {}

    TokenList Run() {
        TokenList list;
        while (true) {
            SkipBlanks();
            Token token;
            token.line = line_;
            if (at_ == text_.size()) {
                list.tokens.push_back(std::move(token));
                return list;
            }
            if (!Read(token)) {
                list.error = ScriptError::kUnterminatedQuote;
                list.errorLine = token.line;
                return list;
            }
            list.tokens.push_back(std::move(token));
        }
    }

  private:
    void SkipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_])) Advance();
    }
    void Advance() {
        if (text_[at_] == L'\n') ++line_;
        ++at_;
    }
    bool EndsBraceAt(std::size_t position) const {
        return position == text_.size() || IsBlank(text_[position]) || text_[position] == L'}';
    }

    bool Read(Token& token) {
        const wchar_t c = text_[at_];
        if (c == L'\'') return ReadQuoted(token);
        if (c == L'=' || c == L'}' || (c == L'{' && EndsBraceAt(at_ + 1))) {
            token.kind = c == L'='   ? TokenKind::kEquals
                         : c == L'}' ? TokenKind::kCloseBrace
                                     : TokenKind::kOpenBrace;
            ++at_;
            return true;
        }
        token.kind = TokenKind::kWord;
        const std::size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != L'\'' &&
               text_[at_] != L'=') {
            ++at_;
        }
        token.text = std::wstring(text_.substr(start, at_ - start));
        return true;
    }

    bool ReadQuoted(Token& token) {
        token.kind = TokenKind::kQuoted;
        ++at_;
        while (at_ < text_.size()) {
            if (text_[at_] == L'\'') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == L'\'') {
                    token.text.push_back(L'\'');
                    at_ += 2;
                    continue;
                }
                ++at_;
                return true;
            }
            token.text.push_back(text_[at_]);
            Advance();
        }
        return false;
    }

    std::wstring_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

}  // namespace

ScriptError ExpandReplacements(std::wstring_view script, const Replacements& replacements,
                               std::wstring& expanded, std::size_t& errorLine) {
    std::wstring out;
    out.reserve(script.size());
    std::size_t at = 0;
    while (at < script.size()) {
        const std::size_t percent = script.find(L'%', at);
        if (percent == std::wstring_view::npos) {
            out.append(script.substr(at));
            break;
        }
        out.append(script.substr(at, percent - at));
        const std::size_t close = script.find(L'%', percent + 1);
        if (close == std::wstring_view::npos) {
            errorLine = LineAt(script, percent);
            return ScriptError::kUnterminatedReplacement;
        }
        const std::wstring_view name = script.substr(percent + 1, close - percent - 1);
        if (name.empty()) {
            out.push_back(L'%');
        } else {
            const auto found = std::find_if(replacements.begin(), replacements.end(),
                                            [name](const auto& replacement) {
                                                return EqualsIgnoringCase(replacement.first, name);
                                            });
            if (found == replacements.end()) {
                errorLine = LineAt(script, percent);
                return ScriptError::kUnknownReplacement;
            }
            out.append(found->second);
        }
        at = close + 1;
    }
    expanded = std::move(out);
    return ScriptError::kNone;
}

TokenList Tokenize(std::wstring_view script) {
    return Scanner(script).Run();
}

}  // namespace marupo::registrar
