#pragma once
// Factories of the host objects an add-in reaches from the application object. Every object
// logs its calls and obeys the fault rules of the shared HostState.

#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "devhost/host_state.h"

namespace marupo::devhost {

Microsoft::WRL::ComPtr<IDesktopApplication> CreateApplication(std::shared_ptr<HostState> state);
Microsoft::WRL::ComPtr<IDesktopCommandTable> CreateCommandTable(std::shared_ptr<HostState> state);
Microsoft::WRL::ComPtr<IAddressBook> CreateAddressBook(std::shared_ptr<HostState> state);
Microsoft::WRL::ComPtr<IAddressRecord> CreateAddressRecord(std::shared_ptr<HostState> state,
                                                           RecordPtr record);
Microsoft::WRL::ComPtr<IAddressRecords> CreateAddressRecords(std::shared_ptr<HostState> state,
                                                             std::vector<RecordPtr> records);
Microsoft::WRL::ComPtr<ICategoryNames> CreateCategoryNames(std::shared_ptr<HostState> state,
                                                           std::vector<std::u16string> names);

}  // namespace marupo::devhost
