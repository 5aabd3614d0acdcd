#include "devhost/host_methods.h"

#include <charconv>
#include <cstdio>
#include <iterator>

namespace marupo::devhost {
namespace {

constexpr HostMethod kMethods[] = {
    {"IDesktopApplication", "GetCommandTable", MethodResult::kInterface},
    {"IDesktopApplication", "GetAddressBook", MethodResult::kInterface},
    {"IDesktopApplication", "GetPrivateDisplayMode", MethodResult::kNumber},
    {"IDesktopCommandTable", "AddCommand", MethodResult::kNumber},
    {"IDesktopCommandTable", "AddMenuItem", MethodResult::kNone},
    {"IAddressBook", "GetCategories", MethodResult::kInterface},
    {"IAddressBook", "GetCurrentCategory", MethodResult::kText},
    {"IAddressBook", "GetSelection", MethodResult::kInterface},
    {"IAddressBook", "AddRecord", MethodResult::kInterface},
    {"IAddressBook", "GetCustomLabel", MethodResult::kText},
    {"IAddressRecords", "GetCount", MethodResult::kNumber},
    {"IAddressRecords", "GetItem", MethodResult::kInterface},
    {"ICategoryNames", "GetCount", MethodResult::kNumber},
    {"ICategoryNames", "GetItem", MethodResult::kText},
#define TEXT_PROPERTY(name)                                 \
    {"IAddressRecord", "Get" #name, MethodResult::kText}, { \
        "IAddressRecord", "Set" #name, MethodResult::kNone  \
    }
    TEXT_PROPERTY(GivenName),
    TEXT_PROPERTY(Surname),
    TEXT_PROPERTY(Title),
    TEXT_PROPERTY(Company),
    TEXT_PROPERTY(Street),
    TEXT_PROPERTY(City),
    TEXT_PROPERTY(Prefecture),
    TEXT_PROPERTY(PostalCode),
    TEXT_PROPERTY(Country),
    TEXT_PROPERTY(Note),
    TEXT_PROPERTY(CustomField),
    TEXT_PROPERTY(CategoryName),
    TEXT_PROPERTY(Contact),
    TEXT_PROPERTY(GivenNameReading),
    TEXT_PROPERTY(SurnameReading),
    TEXT_PROPERTY(CompanyReading),
#undef TEXT_PROPERTY
    {"IAddressRecord", "GetPrivate", MethodResult::kNumber},
    {"IAddressRecord", "SetPrivate", MethodResult::kNone},
    {"IAddressRecord", "GetPrimarySlot", MethodResult::kNumber},
    {"IAddressRecord", "SetPrimarySlot", MethodResult::kNone},
};

struct NamedHresult {
    const char* name;
    uint32_t value;
};

constexpr NamedHresult kHresults[] = {
    {"S_OK", 0},
    {"S_FALSE", 1},
    {"E_NOTIMPL", 0x80004001},
    {"E_NOINTERFACE", 0x80004002},
    {"E_POINTER", 0x80004003},
    {"E_ABORT", 0x80004004},
    {"E_FAIL", 0x80004005},
    {"E_UNEXPECTED", 0x8000FFFF},
    {"E_ACCESSDENIED", 0x80070005},
    {"E_HANDLE", 0x80070006},
    {"E_OUTOFMEMORY", 0x8007000E},
    {"E_INVALIDARG", 0x80070057},
    {"DISP_E_BADINDEX", 0x8002000B},
    {"DISP_E_EXCEPTION", 0x80020009},
    {"CLASS_E_NOAGGREGATION", 0x80040110},
    {"CLASS_E_CLASSNOTAVAILABLE", 0x80040111},
    {"REGDB_E_CLASSNOTREG", 0x80040154},
    {"RPC_E_WRONG_THREAD", 0x8001010E},
};

}  // namespace

bool MethodMatches(std::string_view pattern, std::string_view interfaceName,
                   std::string_view method) {
    size_t dot = pattern.find('.');
    if (dot == std::string_view::npos) return pattern == method;
    return pattern.substr(0, dot) == interfaceName && pattern.substr(dot + 1) == method;
}

bool MethodExists(std::string_view pattern) {
    for (const auto& m : kMethods) {
        if (MethodMatches(pattern, m.interfaceName, m.name)) return true;
    }
    return false;
}

bool MethodReturnsTextOrInterface(std::string_view pattern) {
    bool any = false;
    for (const auto& m : kMethods) {
        if (!MethodMatches(pattern, m.interfaceName, m.name)) continue;
        if (m.result != MethodResult::kText && m.result != MethodResult::kInterface) return false;
        any = true;
    }
    return any;
}

std::optional<int32_t> ParseHresult(std::string_view text) {
    for (const auto& h : kHresults) {
        if (text == h.name) return static_cast<int32_t>(h.value);
    }
    uint32_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    std::from_chars_result parsed{};
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        parsed = std::from_chars(begin + 2, end, value, 16);
    } else if (!text.empty() && text[0] == '-') {
        int32_t negative = 0;
        parsed = std::from_chars(begin, end, negative);
        value = static_cast<uint32_t>(negative);
    } else {
        parsed = std::from_chars(begin, end, value);
    }
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string HresultName(int32_t hr) {
    for (const auto& h : kHresults) {
        if (static_cast<uint32_t>(hr) == h.value) return h.name;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

}  // namespace marupo::devhost
