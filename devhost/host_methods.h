#pragma once
// The host methods an add-in can call, as the call log and the fault rules name them
// ("IAddressRecord.SetCity", or just "SetCity" for every interface that has one).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marupo::devhost {

enum class MethodResult {
    kNone,       // HRESULT only (setters, AddMenuItem)
    kNumber,     // a long out-value
    kText,       // a BSTR out-value (GetContact's text included)
    kInterface,  // an interface out-value
};

struct HostMethod {
    const char* interfaceName;
    const char* name;
    MethodResult result;
};

// Whether some method's name or "Interface.Method" matches `pattern`.
bool MethodExists(std::string_view pattern);
// True when every method the pattern matches hands back a text or an interface.
bool MethodReturnsTextOrInterface(std::string_view pattern);
bool MethodMatches(std::string_view pattern, std::string_view interfaceName,
                   std::string_view method);

// "E_FAIL", "S_FALSE", "0x80004005", "-2147467259".
std::optional<int32_t> ParseHresult(std::string_view text);
// The symbolic name where known, otherwise 0xXXXXXXXX.
std::string HresultName(int32_t hr);

}  // namespace marupo::devhost
