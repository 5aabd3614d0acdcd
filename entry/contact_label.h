#pragma once
// The contact labels as the user sees them: their names and the items of the label popup menu
// (menu 308), whose command ids do not follow the label values in order.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "entry/address_entry.h"

namespace marupo {

// Menu 308 item ids, indexed by label value. There is no item 32771: その他 is 32776.
constexpr std::array<unsigned, kContactLabelCount> kContactLabelMenuIds = {
    32768, 32769, 32770, 32776, 32772, 32773, 32774, 32775};

// The label's name in Shift-JIS ("会社", "自宅", ...). A value outside 0..7 can come from the
// host; it has no name and yields empty text.
std::string_view ContactLabelName(std::int32_t label);

// The menu item to check for a label: values outside 1..7 check the first item (会社).
unsigned ContactLabelMenuId(std::int32_t label);

// The label a chosen menu item stands for; none for an id that is not a label item.
std::optional<std::int32_t> ContactLabelFromMenuId(unsigned menuId);

}  // namespace marupo
