#pragma once
// The registry as the script engine sees it. The Windows side adapts the real registry; tests
// use one held in memory.

#include <memory>
#include <string>

#include "registrar/script.h"

namespace marupo::registrar {

// The outcome of one registry operation: 0 on success, otherwise the platform's error code (a
// Win32 error code on Windows).
using RegistryStatus = long;
constexpr RegistryStatus kRegistryOk = 0;
constexpr RegistryStatus kRegistryNotFound = 2;  // no such key or value

// An open key; closed when destroyed. Names are single key names, never paths.
class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    virtual RegistryStatus OpenOrCreate(const std::wstring& name,
                                        std::unique_ptr<RegistryKey>& key) = 0;
    virtual RegistryStatus OpenExisting(const std::wstring& name,
                                        std::unique_ptr<RegistryKey>& key) = 0;
    // The subkey with all its subkeys and values.
    virtual RegistryStatus DeleteTree(const std::wstring& name) = 0;
    // The subkey, which must have no subkeys of its own.
    virtual RegistryStatus DeleteEmpty(const std::wstring& name) = 0;
    virtual RegistryStatus HasSubkeys(bool& has) = 0;
    // An empty name is the key's default value.
    virtual RegistryStatus SetValue(const std::wstring& name, const RegistryValue& value) = 0;
    virtual RegistryStatus DeleteValue(const std::wstring& name) = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    virtual RegistryStatus OpenRoot(RootKey root, std::unique_ptr<RegistryKey>& key) = 0;
};

}  // namespace marupo::registrar
