#pragma once
// The host's category-name list that travels with an entry (AddressEntry::hostCategories).

#include <windows.h>
#include <wrl/client.h>

#include "entry/address_entry.h"
#include "host/host_interfaces.h"

namespace marupo {

// Lets the entry hold its own reference to `categories` (replacing any earlier one); null
// clears it.
void SetHostCategories(AddressEntry& entry, ICategoryNames* categories);

// The list the entry holds, as a new counted reference; empty when it holds none.
Microsoft::WRL::ComPtr<ICategoryNames> HostCategories(const AddressEntry& entry);

}  // namespace marupo
