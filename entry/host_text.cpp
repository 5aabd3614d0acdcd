#include "entry/host_text.h"

#include <cstring>
#include <new>

#include "host/host_error.h"
#include "text/encoding.h"

namespace marupo {
namespace {

// Runs `work`; its failures become the HostError a host call would raise: running out of memory
// (or a text too long for the system) E_OUTOFMEMORY, a refused conversion the system's code.
template <class Work>
auto AsHostError(const Work& work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw HostError(E_OUTOFMEMORY);
    } catch (const text::ConversionError& error) {
        throw HostError(HRESULT_FROM_WIN32(error.Code()));
    }
}

}  // namespace

std::string AnsiFromHost(BSTR hostText) {
    const UINT wideLength = hostText != nullptr ? SysStringLen(hostText) : 0;
    return AsHostError(
        [&] { return text::WideToMultiByte(CP_ACP, std::wstring_view(hostText, wideLength)); });
}

UniqueBstr HostFromAnsi(std::string_view ansi) {
    const std::wstring wide = AsHostError([&] { return text::MultiByteToWide(CP_ACP, ansi); });
    return AllocateBstr(wide.c_str(), static_cast<UINT>(wide.size()));
}

std::u16string HostTextCopy(BSTR hostText) {
    static_assert(sizeof(char16_t) == sizeof(wchar_t), "BSTR holds UTF-16");
    return AsHostError([&] {
        const std::size_t length = hostText != nullptr ? SysStringLen(hostText) : 0;
        std::u16string copy(length, u'\0');
        if (length != 0) std::memcpy(copy.data(), hostText, length * sizeof(char16_t));
        return copy;
    });
}

std::string ReadHostText(HostTextOrigins& origins, HostTextField field, BSTR hostText) {
    std::string ansi = AnsiFromHost(hostText);
    std::u16string original = HostTextCopy(hostText);
    AsHostError([&] { origins.Record(field, ansi, std::move(original)); });
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
