// libFuzzer target for the registry-script engine: every input is script text. An accepted
// script must register and unregister without a registry failure on a registry in memory;
// registering twice must leave what registering once leaves; unregistering only ever removes
// (a second run may remove more: a plain entry for a key that a later NoRemove entry emptied),
// and empties the registry again when the script marks no key NoRemove. Keys that no script can
// name, present beforehand in every root, are never touched.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "registrar/script_parser.h"
#include "registrar/script_runner.h"
#include "tests/support/memory_registry.h"

namespace {

using namespace marupo::registrar;

bool AnyEntry(const std::vector<Entry>& entries, const std::function<bool(const Entry&)>& test) {
    for (const Entry& entry : entries) {
        if (test(entry) || AnyEntry(entry.children, test)) return true;
    }
    return false;
}

bool MarksNoRemove(const Script& script) {
    for (const RootBlock& block : script) {
        if (AnyEntry(block.entries,
                     [](const Entry& entry) { return entry.marker == KeyMarker::kNoRemove; }))
            return true;
    }
    return false;
}

void Check(bool holds) {
    if (!holds) std::abort();
}

// Script bytes widen to characters below 256, so no script names a key called あ.
void AddForeignKeys(marupo::testing::MemoryRegistry& registry) {
    using Registry = marupo::testing::MemoryRegistry;
    for (std::size_t root = 0; root <= static_cast<std::size_t>(RootKey::kCurrentConfig); ++root) {
        Registry::Node& node = registry.Root(static_cast<RootKey>(root));
        Registry::Node foreign;
        foreign.values.push_back({L"\x3042", RegistryValue{}});
        foreign.subkeys.push_back({L"\x3042", {}});
        node.subkeys.push_back({L"\x3042", foreign});
    }
}

bool KeepsForeignKeys(const std::vector<std::wstring>& dump,
                      const std::vector<std::wstring>& foreign) {
    return std::includes(dump.begin(), dump.end(), foreign.begin(), foreign.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes widen one to one: the grammar is ASCII, other characters only ride along in names.
    const std::wstring text(data, data + size);
    const Replacements replacements = {{L"MODULE", L"C:\\O''Neil\\m.dll"}, {L"K", L"{ k }"}};
    const ParseResult parsed = ParseScript(text, replacements);
    if (parsed.error != ScriptError::kNone) {
        Check(parsed.errorLine >= 1 && parsed.script.empty());
        return 0;
    }

    marupo::testing::MemoryRegistry registry;
    AddForeignKeys(registry);
    const auto foreign = registry.Dump();
    Check(RunRegister(registry, parsed.script) == kRegistryOk);
    const auto once = registry.Dump();
    Check(KeepsForeignKeys(once, foreign));
    Check(RunRegister(registry, parsed.script) == kRegistryOk);
    Check(registry.Dump() == once);

    Check(RunUnregister(registry, parsed.script) == kRegistryOk);
    const auto removed = registry.Dump();
    Check(RunUnregister(registry, parsed.script) == kRegistryOk);
    const auto again = registry.Dump();
    Check(std::includes(removed.begin(), removed.end(), again.begin(), again.end()));
    Check(KeepsForeignKeys(again, foreign));
    if (!MarksNoRemove(parsed.script)) Check(removed == foreign);
    return 0;
}
