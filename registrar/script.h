#pragma once
// A registry script in its parsed form: root keys, each with the entries of its block.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marupo::registrar {

enum class RootKey {
    kClassesRoot,
    kCurrentUser,
    kLocalMachine,
    kUsers,
    kPerformanceData,
    kDynData,
    kCurrentConfig,
};

enum class ValueType { kString, kDword, kBinary };

// One registry value; only the member of its type is meaningful.
struct RegistryValue {
    ValueType type = ValueType::kString;
    std::wstring text;
    std::uint32_t number = 0;
    std::vector<std::uint8_t> bytes;
};

enum class KeyMarker { kNone, kForceRemove, kNoRemove, kDelete };

struct Entry {
    enum class Kind { kKey, kValue };
    Kind kind = Kind::kKey;
    KeyMarker marker = KeyMarker::kNone;  // keys only
    std::wstring name;
    std::optional<RegistryValue> value;  // a key's default value, or the value entry's value
    std::vector<Entry> children;         // keys only: the nested block
};

struct RootBlock {
    RootKey root = RootKey::kClassesRoot;
    std::vector<Entry> entries;
};

using Script = std::vector<RootBlock>;

}  // namespace marupo::registrar
