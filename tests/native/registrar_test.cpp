#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "registrar/script_parser.h"
#include "registrar/script_runner.h"
#include "registrar/value_text.h"
#include "tests/support/memory_registry.h"

namespace marupo::registrar {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::wstring>;
using testing::MemoryRegistry;

const Replacements kModule = {{L"MODULE", L"C:\\O''Neil\\m.dll"}};

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

Script Parse(const std::wstring& text) {
    const ParseResult parsed = ParseScript(text, kModule);
    EXPECT_EQ(parsed.error, ScriptError::kNone) << "line " << parsed.errorLine;
    return parsed.script;
}

void Register(MemoryRegistry& registry, const std::wstring& text) {
    EXPECT_EQ(RunRegister(registry, Parse(text)), kRegistryOk);
}

void Unregister(MemoryRegistry& registry, const std::wstring& text) {
    EXPECT_EQ(RunUnregister(registry, Parse(text)), kRegistryOk);
}

struct AcceptedCase {
    const wchar_t* script;
    Lines registered;
};

TEST(RegistrarGrammar, AcceptedScriptsWriteTheirKeysAndValues) {
    const AcceptedCase cases[] = {
        {L"HKCU { a = s 'x' { b { val n = s 'y' } } }",
         {L"HKCU\\a", L"HKCU\\a @ = s:x", L"HKCU\\a\\b", L"HKCU\\a\\b @n = s:y"}},
        {L"hkey_current_user\n{\n\tFORCEREMOVE 'Two Words' = S 'v'\n\tVAL d1 = D ' 42 '\n}",
         {L"HKCU\\Two Words", L"HKCU\\Two Words @ = s:v", L"HKCU @d1 = d:42"}},
        {L"HKCU { 'it''s' = s 'O''Neil ''' }", {L"HKCU\\it's", L"HKCU\\it's @ = s:O'Neil '"}},
        {L"HKCU { m = s '%MODULE%' { val p = s '100%%' val q = s '%module%' } }",
         {L"HKCU\\m", L"HKCU\\m @ = s:C:\\O'Neil\\m.dll", L"HKCU\\m @p = s:100%",
          L"HKCU\\m @q = s:C:\\O'Neil\\m.dll"}},
        {L"HKCR {\r\n{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55} {}\r\n}",
         {L"HKCR\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}"}},
        {L"HKCU { val b = b 'DEADbeef' val e = b '' val z = d '0' }",
         {L"HKCU @b = b:deadbeef", L"HKCU @e = b:", L"HKCU @z = d:0"}},
        {L"HKCU\r\n{\r\n}\r\nHKLM\t{\tk\t}HKEY_USERS { u }", {L"HKLM\\k", L"HKU\\u"}},
        {L"HKCR { NoRemove 'Delete' { val '' = s 'name' } }",
         {L"HKCR\\Delete", L"HKCR\\Delete @ = s:name"}},
        {L" \t\r\n", {}},
    };
    for (const AcceptedCase& c : cases) {
        MemoryRegistry registry;
        Register(registry, c.script);
        EXPECT_EQ(registry.Dump(), Sorted(c.registered)) << c.script;
    }
}

std::wstring Repeat(const std::wstring& text, std::size_t times) {
    std::wstring repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += text;
    return repeated;
}

struct RefusedCase {
    std::wstring script;
    ScriptError error;
    std::size_t line;
};

TEST(RegistrarGrammar, MalformedScriptsAreRefusedWithTheirLine) {
    const RefusedCase cases[] = {
        {L"HKXX { }", ScriptError::kExpectedRootKey, 1},
        {L"HKCR { }\n}", ScriptError::kExpectedRootKey, 2},
        {L"HKCR{ }", ScriptError::kExpectedRootKey, 1},
        {L"HKCR\n a", ScriptError::kExpectedOpenBrace, 2},
        {L"HKCR {\n a {\n", ScriptError::kMissingCloseBrace, 3},
        {L"HKCR { = s 'x' }", ScriptError::kExpectedName, 1},
        {L"HKCR { val n s 'x' }", ScriptError::kExpectedEquals, 1},
        {L"HKCR { a = q 'x' }", ScriptError::kUnknownType, 1},
        {L"HKCR { a = }", ScriptError::kUnknownType, 1},
        {L"HKCR { a = s x }", ScriptError::kExpectedQuotedValue, 1},
        {L"HKCR {\n a = s 'x }\n}", ScriptError::kUnterminatedQuote, 2},
        {L"HKCR { val n = d 'x' }", ScriptError::kBadNumber, 1},
        {L"HKCR { val n = d '4294967296' }", ScriptError::kNumberOutOfRange, 1},
        {L"HKCR { val n = b 'abc' }", ScriptError::kBadBinary, 1},
        {L"HKCR { 'a\\b' }", ScriptError::kBackslashInKeyName, 1},
        {L"HKCR { a\\b }", ScriptError::kBackslashInKeyName, 1},
        {L"HKCR { '%MODULE%' }", ScriptError::kBackslashInKeyName, 1},
        {L"HKCR { ForceRemove '' }", ScriptError::kEmptyKeyName, 1},
        {L"HKCR { ForceRemove '\0a' }"s, ScriptError::kNulInName, 1},
        {L"HKCR {\n a { val n\0 = s 'x' } }"s, ScriptError::kNulInName, 2},
        {L"HKCR {\n\n a = s '%MODULE' }", ScriptError::kUnterminatedReplacement, 3},
        {L"HKCR { a = s '%OTHER%' }", ScriptError::kUnknownReplacement, 1},
        {L"HKCR {" + Repeat(L" a {", kMaxNesting), ScriptError::kNestingTooDeep, 1},
    };
    for (const RefusedCase& c : cases) {
        const ParseResult parsed = ParseScript(c.script, kModule);
        EXPECT_EQ(parsed.error, c.error) << c.script.substr(0, 40);
        EXPECT_EQ(parsed.errorLine, c.line) << c.script.substr(0, 40);
        EXPECT_TRUE(parsed.script.empty());
    }
}

TEST(RegistrarValues, DecimalTextReadsAsTheAutomationConversionDoes) {
    const struct {
        const wchar_t* text;
        ScriptError error;
        std::uint32_t number;
    } cases[] = {
        {L" 42 ", ScriptError::kNone, 42},
        {L"\t+7", ScriptError::kNone, 7},
        {L"4294967295", ScriptError::kNone, 4294967295u},
        {L"2.5", ScriptError::kNone, 2},
        {L"3.5", ScriptError::kNone, 4},
        {L"2.51", ScriptError::kNone, 3},
        {L".5", ScriptError::kNone, 0},
        {L"7.", ScriptError::kNone, 7},
        {L"-0.4", ScriptError::kNone, 0},
        {L"4294967296", ScriptError::kNumberOutOfRange, 0},
        {L"99999999999999999999999", ScriptError::kNumberOutOfRange, 0},
        {L"18446744073709551621", ScriptError::kNumberOutOfRange, 0},
        {L"4294967295.5", ScriptError::kNumberOutOfRange, 0},
        {L"-1", ScriptError::kNumberOutOfRange, 0},
        {L"", ScriptError::kBadNumber, 0},
        {L"  ", ScriptError::kBadNumber, 0},
        {L"1 2", ScriptError::kBadNumber, 0},
        {L"0x10", ScriptError::kBadNumber, 0},
        {L"1e3", ScriptError::kBadNumber, 0},
        {L".", ScriptError::kBadNumber, 0},
        {L"+", ScriptError::kBadNumber, 0},
    };
    for (const auto& c : cases) {
        std::uint32_t number = 0;
        EXPECT_EQ(ParseDword(c.text, number), c.error) << c.text;
        if (c.error == ScriptError::kNone) {
            EXPECT_EQ(number, c.number) << c.text;
        }
    }
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ParseBinary(L"00ff7A", bytes), ScriptError::kNone);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0xff, 0x7a}));
    EXPECT_EQ(ParseBinary(L"0g", bytes), ScriptError::kBadBinary);
    EXPECT_EQ(ParseBinary(L"0 ", bytes), ScriptError::kBadBinary);
}

struct RunCase {
    const wchar_t* before;  // registered first, to set the scene
    const wchar_t* script;
    Lines after;

    // What the registry holds after the scene and then `run` of the script.
    static Lines Apply(const RunCase& c, void (*run)(MemoryRegistry&, const std::wstring&)) {
        MemoryRegistry registry;
        Register(registry, c.before);
        run(registry, c.script);
        return registry.Dump();
    }
};

TEST(RegistrarRun, RegisteringHonoursTheKeyMarkers) {
    const RunCase cases[] = {
        {L"HKCU { k { old } }", L"HKCU { ForceRemove k { new } }", {L"HKCU\\k", L"HKCU\\k\\new"}},
        {L"HKCU { k { old } }", L"HKCU { Delete k = s 'v' { new } }", {}},
        {L"HKCU { k { old } }",
         L"HKCU { NoRemove k { new } }",
         {L"HKCU\\k", L"HKCU\\k\\new", L"HKCU\\k\\old"}},
        {L"HKCU { clsid { x } TYPELIB { y } }",
         L"HKCU { ForceRemove CLSID { z } Delete typelib }",
         {L"HKCU\\TYPELIB", L"HKCU\\TYPELIB\\y", L"HKCU\\clsid", L"HKCU\\clsid\\x",
          L"HKCU\\clsid\\z"}},
    };
    for (const RunCase& c : cases)
        EXPECT_EQ(RunCase::Apply(c, Register), Sorted(c.after)) << c.script;
}

TEST(RegistrarRun, UnregisteringRemovesInnermostFirstAndKeepsWhatOthersHold) {
    const RunCase cases[] = {
        {L"HKCU { a { b { c } } }", L"HKCU { a { b { c } } }", {}},
        {L"HKCU { a { b foreign } }", L"HKCU { a { b } }", {L"HKCU\\a", L"HKCU\\a\\foreign"}},
        {L"HKCU { a { val mine = s '1' val other = s '2' } }",
         L"HKCU { a { val mine = s '1' } }",
         {}},
        {L"HKCU { n = s 'd' { val v = s 'x' } }",
         L"HKCU { NoRemove n { val v = s 'x' } }",
         {L"HKCU\\n", L"HKCU\\n @ = s:d"}},
        {L"HKCU { k { s } }", L"HKCU { ForceRemove k { Delete s } }", {}},
        {L"HKCU { k }", L"HKCU { absent { deeper } val none = s '' k }", {}},
    };
    for (const RunCase& c : cases) {
        EXPECT_EQ(RunCase::Apply(c, Unregister), Sorted(c.after)) << c.script;
    }
}

TEST(RegistrarRun, RegisteringStopsAtAFailureAndUnregisteringGoesOn) {
    MemoryRegistry registry;
    registry.Refuse(L"bad");
    EXPECT_EQ(RunRegister(registry, Parse(L"HKCU { a bad c }")), MemoryRegistry::kAccessDenied);
    EXPECT_EQ(registry.Dump(), (Lines{L"HKCU\\a"}));
    EXPECT_EQ(RunRegister(registry, Parse(L"HKCU { val bad = s '' d }")),
              MemoryRegistry::kAccessDenied);
    EXPECT_EQ(registry.Dump(), (Lines{L"HKCU\\a"}));

    Register(registry, L"HKCU { c }");
    EXPECT_EQ(RunUnregister(registry, Parse(L"HKCU { a { val bad = s '' } c }")),
              MemoryRegistry::kAccessDenied);
    EXPECT_EQ(registry.Dump(), Lines{});
}

}  // namespace
}  // namespace marupo::registrar
