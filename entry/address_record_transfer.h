#pragma once
// One address record copied between the host and an entry, field by field in the host's order.
// Every text goes through entry/host_text.h; a failing host call raises HostError and stops the
// transfer where it is (values already written stay in the host).

#include <wrl/client.h>

#include "entry/address_entry.h"
#include "host/host_interfaces.h"

namespace marupo {

// Reads every field of `record` into `entry`, readings, category and private flag included.
void ReadAddressRecord(IAddressRecord* record, AddressEntry& entry);

// Writes the entry back to the record it was read from: its category, then every field but the
// three readings, changed or not.
void WriteEditedRecord(IAddressRecord* record, const AddressEntry& entry);

// Creates the entry's record in `book` (category, given name, surname) and fills in the rest,
// readings included. Returns the new record.
Microsoft::WRL::ComPtr<IAddressRecord> AddNewRecord(IAddressBook* book, const AddressEntry& entry);

}  // namespace marupo
