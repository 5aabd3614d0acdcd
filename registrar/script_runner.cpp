#include "registrar/script_runner.h"

#include "registrar/ascii_case.h"

namespace marupo::registrar {
namespace {

bool IsProtected(const std::wstring& name) {
    return EqualsIgnoringCase(name, L"CLSID") || EqualsIgnoringCase(name, L"TYPELIB");
}

RegistryStatus RegisterEntries(RegistryKey& parent, const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        RegistryStatus status = kRegistryOk;
        if (entry.kind == Entry::Kind::kValue) {
            status = parent.SetValue(entry.name, *entry.value);
            if (status != kRegistryOk) return status;
            continue;
        }
        const bool removes =
            entry.marker == KeyMarker::kForceRemove || entry.marker == KeyMarker::kDelete;
        if (removes && !IsProtected(entry.name)) {
            status = parent.DeleteTree(entry.name);
            if (status != kRegistryOk && status != kRegistryNotFound) return status;
        }
        if (entry.marker == KeyMarker::kDelete) continue;
        std::unique_ptr<RegistryKey> key;
        status = parent.OpenOrCreate(entry.name, key);
        if (status == kRegistryOk && entry.value) status = key->SetValue(L"", *entry.value);
        if (status == kRegistryOk) status = RegisterEntries(*key, entry.children);
        if (status != kRegistryOk) return status;
    }
    return kRegistryOk;
}

// Keeps the first failure; a missing key or value is what unregistering wants anyway.
void Note(RegistryStatus status, RegistryStatus& first) {
    if (status != kRegistryOk && status != kRegistryNotFound && first == kRegistryOk)
        first = status;
}

void UnregisterEntries(RegistryKey& parent, const std::vector<Entry>& entries,
                       RegistryStatus& first) {
    for (const Entry& entry : entries) {
        if (entry.kind == Entry::Kind::kValue) {
            Note(parent.DeleteValue(entry.name), first);
            continue;
        }
        bool hasSubkeys = true;
        {
            std::unique_ptr<RegistryKey> key;
            const RegistryStatus opened = parent.OpenExisting(entry.name, key);
            if (opened != kRegistryOk) {
                Note(opened, first);
                continue;
            }
            UnregisterEntries(*key, entry.children, first);
            if (entry.marker == KeyMarker::kNoRemove) continue;
            const RegistryStatus asked = key->HasSubkeys(hasSubkeys);
            Note(asked, first);
            if (asked != kRegistryOk) continue;
        }
        // The key is closed before it is deleted.
        if (!hasSubkeys) Note(parent.DeleteEmpty(entry.name), first);
    }
}

}  // namespace

RegistryStatus RunRegister(Registry& registry, const Script& script) {
    for (const RootBlock& block : script) {
        std::unique_ptr<RegistryKey> root;
        RegistryStatus status = registry.OpenRoot(block.root, root);
        if (status == kRegistryOk) status = RegisterEntries(*root, block.entries);
        if (status != kRegistryOk) return status;
    }
    return kRegistryOk;
}

RegistryStatus RunUnregister(Registry& registry, const Script& script) {
    RegistryStatus first = kRegistryOk;
    for (const RootBlock& block : script) {
        std::unique_ptr<RegistryKey> root;
        const RegistryStatus opened = registry.OpenRoot(block.root, root);
        Note(opened, first);
        if (opened == kRegistryOk) UnregisterEntries(*root, block.entries, first);
    }
    return first;
}

}  // namespace marupo::registrar
