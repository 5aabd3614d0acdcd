#include "devhost/ime_composition.h"

#include <imm.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/encoding.h"
#include "ui/input_context.h"

// The input method's functions of imm32 that this tool chain's headers leave out.
extern "C" {
LPVOID WINAPI ImmLockIMC(HIMC context);
BOOL WINAPI ImmUnlockIMC(HIMC context);
HIMCC WINAPI ImmCreateIMCC(DWORD size);
HIMCC WINAPI ImmReSizeIMCC(HIMCC block, DWORD size);
LPVOID WINAPI ImmLockIMCC(HIMCC block);
BOOL WINAPI ImmUnlockIMCC(HIMCC block);
}

namespace marupo::devhost {
namespace {

// The input method's side of the input method manager (as in the IME developers' immdev.h,
// which this tool chain does not ship): the input context and its composition string block.
struct ImeInputContext {
    HWND hWnd;
    BOOL fOpen;
    POINT ptStatusWndPos;
    POINT ptSoftKbdPos;
    DWORD fdwConversion;
    DWORD fdwSentence;
    union {
        LOGFONTA A;
        LOGFONTW W;
    } lfFont;
    COMPOSITIONFORM cfCompForm;
    CANDIDATEFORM cfCandForm[4];
    HIMCC hCompStr;
    HIMCC hCandInfo;
    HIMCC hGuideLine;
    HIMCC hPrivate;
    DWORD dwNumMsgBuf;
    HIMCC hMsgBuf;
    DWORD fdwInit;
    DWORD dwReserve[3];
};

struct CompositionString {
    DWORD dwSize;
    DWORD dwCompReadAttrLen, dwCompReadAttrOffset, dwCompReadClauseLen, dwCompReadClauseOffset;
    DWORD dwCompReadStrLen, dwCompReadStrOffset;
    DWORD dwCompAttrLen, dwCompAttrOffset, dwCompClauseLen, dwCompClauseOffset;
    DWORD dwCompStrLen, dwCompStrOffset;
    DWORD dwCursorPos, dwDeltaStart;
    DWORD dwResultReadClauseLen, dwResultReadClauseOffset, dwResultReadStrLen,
        dwResultReadStrOffset;
    DWORD dwResultClauseLen, dwResultClauseOffset, dwResultStrLen, dwResultStrOffset;
    DWORD dwPrivateSize, dwPrivateOffset;
};

// The composition block with only a result string and its reading, in the character form the
// keyboard's input method keeps (Unicode or the ANSI code page).
std::vector<BYTE> ResultBlock(const std::wstring& reading, const std::wstring& text, bool unicode) {
    auto encode = [unicode](const std::wstring& value, DWORD* length) {
        if (unicode) {
            *length = static_cast<DWORD>(value.size());
            const auto* bytes = reinterpret_cast<const BYTE*>(value.data());
            return std::vector<BYTE>(bytes, bytes + value.size() * sizeof(wchar_t));
        }
        const std::string ansi = text::WideToMultiByte(CP_ACP, value);
        *length = static_cast<DWORD>(ansi.size());
        return std::vector<BYTE>(ansi.begin(), ansi.end());
    };
    CompositionString header{};
    auto readingBytes = encode(reading, &header.dwResultReadStrLen);
    auto textBytes = encode(text, &header.dwResultStrLen);
    const DWORD terminator = unicode ? sizeof(wchar_t) : 1;
    header.dwResultReadStrOffset = sizeof header;
    header.dwResultStrOffset =
        header.dwResultReadStrOffset + static_cast<DWORD>(readingBytes.size()) + terminator;
    header.dwSize = header.dwResultStrOffset + static_cast<DWORD>(textBytes.size()) + terminator;
    std::vector<BYTE> block(header.dwSize, 0);
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + header.dwResultReadStrOffset, readingBytes.data(),
                readingBytes.size());
    std::memcpy(block.data() + header.dwResultStrOffset, textBytes.data(), textBytes.size());
    return block;
}

bool StoreComposition(HIMC context, const std::vector<BYTE>& block) {
    auto* state = static_cast<ImeInputContext*>(ImmLockIMC(context));
    if (state == nullptr) return false;
    HIMCC strings = state->hCompStr != nullptr
                        ? ImmReSizeIMCC(state->hCompStr, static_cast<DWORD>(block.size()))
                        : ImmCreateIMCC(static_cast<DWORD>(block.size()));
    bool stored = false;
    if (strings != nullptr) {
        state->hCompStr = strings;
        if (void* target = ImmLockIMCC(strings); target != nullptr) {
            std::memcpy(target, block.data(), block.size());
            ImmUnlockIMCC(strings);
            stored = true;
        }
    }
    ImmUnlockIMC(context);
    return stored;
}

std::wstring EditText(HWND edit) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

bool CommitConversion(HWND edit, const std::wstring& reading, const std::wstring& text) {
    ui::InputContext context(edit);
    if (context.Get() == nullptr) return false;
    HKL keyboard = GetKeyboardLayout(0);
    const bool unicode = (ImmGetProperty(keyboard, IGP_PROPERTY) & IME_PROP_UNICODE) != 0;
    if (!StoreComposition(context.Get(), ResultBlock(reading, text, unicode))) return false;
    SetFocus(edit);
    const std::wstring before = EditText(edit);
    SendMessageW(edit, WM_IME_STARTCOMPOSITION, 0, 0);
    SendMessageW(edit, WM_IME_COMPOSITION, text.empty() ? 0 : text[0],
                 GCS_RESULTSTR | GCS_RESULTREADSTR);
    if (EditText(edit) == before) {
        // The edit left the result string to the default handling; it ends, as the edit's own
        // handling does, in the result replacing the selection.
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(edit, WM_IME_ENDCOMPOSITION, 0, 0);
    return true;
}

}  // namespace marupo::devhost
