#include "module/host_announcement.h"

#include <windows.h>

#include <objbase.h>
#include <wrl/client.h>

#include <string_view>

#include "host/host_call.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kAddinClsidText[] = L"{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}";
constexpr wchar_t kDisplayName[] = L"Marupo Addin";

UniqueBstr NewBstr(std::wstring_view text) {
    return AllocateBstr(text.data(), static_cast<UINT>(text.size()));
}

// Finds the add-in's entry, removes it, and registers it anew when `announce` is set.
void UpdateHostEntry(bool announce) noexcept {
    ComPtr<IDesktopAddinRegistry> registry;
    if (CoCreateInstance(CLSID_DesktopAddinRegistry, nullptr, CLSCTX_ALL, IID_IDesktopAddinRegistry,
                         &registry) != S_OK) {
        return;  // the host is not installed
    }
    try {
        // Everything is allocated before the old entry goes, so that running out of memory
        // leaves it in place.
        UniqueBstr clsid = NewBstr(kAddinClsidText);
        UniqueBstr name = announce ? NewBstr(kDisplayName) : UniqueBstr();
        ComPtr<IDesktopAddinEntry> entry =
            HostGet(registry, &IDesktopAddinRegistry::FindAddin, clsid.Get());
        if (entry) HostCall(entry, &IDesktopAddinEntry::Remove);
        if (!announce) return;
        entry = HostGet(registry, &IDesktopAddinRegistry::RegisterAddin, clsid.Get(), name.Get());
    } catch (...) {
        // The host's registry refused, or memory ran out: registration stands, the host just
        // does not know it.
    }
}

}  // namespace

void AnnounceToHost() noexcept {
    UpdateHostEntry(true);
}

void WithdrawFromHost() noexcept {
    UpdateHostEntry(false);
}

}  // namespace marupo
