#pragma once
// One key of the Windows registry, and the one way the code base opens, reads, writes and closes
// keys.
//
// The contract:
// - A RegistryKey is either open or closed. Open and Create return ERROR_SUCCESS and set their
//   out-parameter to the new open key, or return the system's error code and leave it as it was.
//   Every other call on a closed key returns ERROR_INVALID_HANDLE, or reads as a missing value.
// - The predefined roots (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, ...) are wrapped by Root() and
//   are never closed; every key opened or created below is closed with its object (the handle
//   owner in win/unique_handle.h).
// - `access` is passed to the system as it stands: KEY_READ, KEY_WRITE, KEY_ALL_ACCESS, and
//   KEY_WOW64_32KEY or KEY_WOW64_64KEY to choose the registry view of the other bitness.
// - Value names are wide, or narrow in the ANSI code page (the system converts them, and the
//   string data with them); a null or empty name is the key's default value.
// - Reads take the value whole, however long, even when it grows between the system's size
//   query and the read. A string reads up to its first NUL, stored with one or not, whatever its
//   type; a DWORD reads from any value of exactly four bytes. A missing value, or one that
//   cannot be read, gives std::nullopt.
// - Writes store REG_SZ with its terminating NUL, REG_DWORD, or REG_BINARY, and return the
//   system's status.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win/unique_handle.h"

namespace marupo::win {

class RegistryKey {
  public:
    RegistryKey() = default;  // closed
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(RegistryKey&&) noexcept = default;

    // A predefined root key, not closed by this object.
    static RegistryKey Root(HKEY predefined);

    // The subkey `path` below this key: opened when it exists (Open), or created first when it
    // does not (Create, non-volatile, no class).
    LSTATUS Open(const std::wstring& path, REGSAM access, RegistryKey& key) const;
    LSTATUS Create(const std::wstring& path, REGSAM access, RegistryKey& key) const;

    bool IsOpen() const { return Handle() != nullptr; }
    HKEY Handle() const { return owned_ ? owned_.Get() : root_; }

    // The names of the direct subkeys, in the system's order; empty when they cannot be listed.
    std::vector<std::wstring> SubkeyNames() const;
    LSTATUS HasSubkeys(bool& has) const;
    // Removes the subkey `path` with everything below it (DeleteTree), or only when it has no
    // subkeys (DeleteEmpty).
    LSTATUS DeleteTree(const std::wstring& path) const;
    LSTATUS DeleteEmpty(const std::wstring& path) const;

    std::optional<std::wstring> ReadString(const wchar_t* name) const;
    std::optional<std::string> ReadString(const char* name) const;
    std::optional<DWORD> ReadDword(const wchar_t* name) const;

    LSTATUS WriteString(const wchar_t* name, const std::wstring& value) const;
    LSTATUS WriteString(const char* name, const std::string& value) const;
    LSTATUS WriteDword(const wchar_t* name, DWORD value) const;
    LSTATUS WriteBinary(const wchar_t* name, const void* data, std::size_t size) const;
    LSTATUS DeleteValue(const wchar_t* name) const;

  private:
    HKEY root_ = nullptr;      // a predefined root, not owned
    UniqueRegistryKey owned_;  // a key opened or created below one
};

}  // namespace marupo::win
