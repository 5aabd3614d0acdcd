#include "entry/host_text.h"

#include <climits>
#include <cstring>
#include <new>

#include "host/host_error.h"

namespace marupo {
namespace {

// The conversions count in int; a text beyond that cannot be handed over at all.
int CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX)) throw HostError(E_OUTOFMEMORY);
    return static_cast<int>(length);
}

}  // namespace

std::string AnsiFromHost(BSTR hostText) {
    const UINT wideLength = hostText != nullptr ? SysStringLen(hostText) : 0;
    if (wideLength == 0) return {};
    const int length = CheckedLength(wideLength);
    try {
        const int size =
            WideCharToMultiByte(CP_ACP, 0, hostText, length, nullptr, 0, nullptr, nullptr);
        if (size <= 0) throw HostError(HRESULT_FROM_WIN32(GetLastError()));
        std::string ansi(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, hostText, length, ansi.data(), size, nullptr, nullptr);
        return ansi;
    } catch (const std::bad_alloc&) {
        throw HostError(E_OUTOFMEMORY);
    }
}

UniqueBstr HostFromAnsi(std::string_view ansi) {
    if (ansi.empty()) return AllocateBstr(L"", 0);
    const int length = CheckedLength(ansi.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (size <= 0) throw HostError(HRESULT_FROM_WIN32(GetLastError()));
    UniqueBstr result = AllocateBstr(nullptr, static_cast<UINT>(size));
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, result.Get(), size);
    return result;
}

std::u16string HostTextCopy(BSTR hostText) {
    static_assert(sizeof(char16_t) == sizeof(wchar_t), "BSTR holds UTF-16");
    try {
        const std::size_t length = hostText != nullptr ? SysStringLen(hostText) : 0;
        std::u16string copy(length, u'\0');
        if (length != 0) std::memcpy(copy.data(), hostText, length * sizeof(char16_t));
        return copy;
    } catch (const std::bad_alloc&) {
        throw HostError(E_OUTOFMEMORY);
    }
}

std::string ReadHostText(HostTextOrigins& origins, HostTextField field, BSTR hostText) {
    std::string ansi = AnsiFromHost(hostText);
    std::u16string original = HostTextCopy(hostText);
    try {
        origins.Record(field, ansi, std::move(original));
    } catch (const std::bad_alloc&) {
        throw HostError(E_OUTOFMEMORY);
    }
    return ansi;
}

UniqueBstr HostTextFor(const HostTextOrigins& origins, HostTextField field,
                       std::string_view currentAnsi) {
    const std::u16string* original = origins.Original(field, currentAnsi);
    if (original == nullptr) return HostFromAnsi(currentAnsi);
    UniqueBstr result = AllocateBstr(nullptr, static_cast<UINT>(original->size()));
    if (!original->empty()) {
        std::memcpy(result.Get(), original->data(), original->size() * sizeof(char16_t));
    }
    return result;
}

void ReadHostText(AddressEntry& entry, HostTextField field, BSTR hostText) {
    EntryText(entry, field) = ReadHostText(entry.hostTextOrigins, field, hostText);
}

UniqueBstr HostTextFor(const AddressEntry& entry, HostTextField field) {
    return HostTextFor(entry.hostTextOrigins, field, EntryText(entry, field));
}

}  // namespace marupo
