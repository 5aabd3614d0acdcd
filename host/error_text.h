#pragma once
// The text shown for a failed host call when only its HRESULT is known: the system's message
// text when it has one, otherwise a fallback built from the code. The Windows side looks the
// message up (HostErrorMessageText in host/host_error.h); these parts need no Windows API.

#include <cstdint>
#include <string>

namespace marupo {

// A system message ends in CR LF; a text longer than one character loses its final line feed
// and then the carriage return before it. Nothing else is trimmed.
std::wstring TrimMessageLineEnd(std::wstring text);

// For an HRESULT the system has no text for: "IDispatch error #n" for the codes an automation
// server defines (0x80040201..0x8004FFFF, n counted from 0x80040200), otherwise
// "Unknown error 0x...", the code in upper-case hex without leading zeros.
std::wstring FallbackErrorText(std::int32_t hr);

}  // namespace marupo
