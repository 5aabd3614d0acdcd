#include "win/registry_key.h"

namespace marupo::win {
namespace {

// The value's bytes, however long: the value may grow between the size query and the read.
// Zero-filled one character beyond the data, so a string stored without its NUL still ends.
template <class Char, class Query>
std::optional<std::vector<Char>> ReadBytes(const Query& query) {
    DWORD size = 0;
    if (query(nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::vector<Char> buffer;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        buffer.assign((size + sizeof(Char) - 1) / sizeof(Char) + 1, Char{});
        status = query(reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    return buffer;
}

LSTATUS Write(HKEY key, const wchar_t* name, DWORD type, const void* data, std::size_t size) {
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    if (size > MAXDWORD) return ERROR_INVALID_PARAMETER;
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size));
}

}  // namespace

RegistryKey RegistryKey::Root(HKEY predefined) {
    RegistryKey key;
    key.root_ = predefined;
    return key;
}

LSTATUS RegistryKey::Open(const std::wstring& path, REGSAM access, RegistryKey& key) const {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    UniqueRegistryKey opened;
    const LSTATUS status = RegOpenKeyExW(Handle(), path.c_str(), 0, access, opened.Put());
    if (status == ERROR_SUCCESS) {
        key.root_ = nullptr;
        key.owned_ = std::move(opened);
    }
    return status;
}

LSTATUS RegistryKey::Create(const std::wstring& path, REGSAM access, RegistryKey& key) const {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    UniqueRegistryKey created;
    const LSTATUS status =
        RegCreateKeyExW(Handle(), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, created.Put(), nullptr);
    if (status == ERROR_SUCCESS) {
        key.root_ = nullptr;
        key.owned_ = std::move(created);
    }
    return status;
}

std::vector<std::wstring> RegistryKey::SubkeyNames() const {
    std::vector<std::wstring> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (!IsOpen() ||
        RegQueryInfoKeyW(Handle(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    std::vector<wchar_t> name(longest + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status = RegEnumKeyExW(Handle(), index, name.data(), &length, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {  // a longer name added since the query
            name.resize(name.size() * 2);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

LSTATUS RegistryKey::HasSubkeys(bool& has) const {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    DWORD count = 0;
    const LSTATUS status = RegQueryInfoKeyW(Handle(), nullptr, nullptr, nullptr, &count, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    has = count != 0;
    return status;
}

LSTATUS RegistryKey::DeleteTree(const std::wstring& path) const {
    return IsOpen() ? RegDeleteTreeW(Handle(), path.c_str()) : ERROR_INVALID_HANDLE;
}

LSTATUS RegistryKey::DeleteEmpty(const std::wstring& path) const {
    return IsOpen() ? RegDeleteKeyW(Handle(), path.c_str()) : ERROR_INVALID_HANDLE;
}

std::optional<std::wstring> RegistryKey::ReadString(const wchar_t* name) const {
    if (!IsOpen()) return std::nullopt;
    auto bytes = ReadBytes<wchar_t>([&](BYTE* data, DWORD* size) {
        return RegQueryValueExW(Handle(), name, nullptr, nullptr, data, size);
    });
    if (!bytes) return std::nullopt;
    return std::wstring(bytes->data());
}

std::optional<std::string> RegistryKey::ReadString(const char* name) const {
    if (!IsOpen()) return std::nullopt;
    auto bytes = ReadBytes<char>([&](BYTE* data, DWORD* size) {
        return RegQueryValueExA(Handle(), name, nullptr, nullptr, data, size);
    });
    if (!bytes) return std::nullopt;
    return std::string(bytes->data());
}

std::optional<DWORD> RegistryKey::ReadDword(const wchar_t* name) const {
    if (!IsOpen()) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD needed = 0;
    // The size first: a longer value would fail the read, but a shorter one would not.
    if (RegQueryValueExW(Handle(), name, nullptr, nullptr, nullptr, &needed) != ERROR_SUCCESS ||
        needed != sizeof value ||
        RegQueryValueExW(Handle(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

LSTATUS RegistryKey::WriteString(const wchar_t* name, const std::wstring& value) const {
    return Write(Handle(), name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

LSTATUS RegistryKey::WriteString(const char* name, const std::string& value) const {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    if (value.size() + 1 > MAXDWORD) return ERROR_INVALID_PARAMETER;
    return RegSetValueExA(Handle(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

LSTATUS RegistryKey::WriteDword(const wchar_t* name, DWORD value) const {
    return Write(Handle(), name, REG_DWORD, &value, sizeof value);
}

LSTATUS RegistryKey::WriteBinary(const wchar_t* name, const void* data, std::size_t size) const {
    return Write(Handle(), name, REG_BINARY, data, size);
}

LSTATUS RegistryKey::DeleteValue(const wchar_t* name) const {
    return IsOpen() ? RegDeleteValueW(Handle(), name) : ERROR_INVALID_HANDLE;
}

}  // namespace marupo::win
