#pragma once
// The items of the editor's category drop-down, built from the host's category names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marupo::editor {

// The host's first category (its unfiled one) goes last; the others come before it in code page
// 932 order, equal names in the host's order. Every name is listed, however many there are. No
// names give one empty item.
std::vector<std::string> CategoryItems(std::vector<std::string> hostNames);

// The first item, from the top, that begins with `category` regardless of letter case; none
// when no item does.
std::optional<std::size_t> PreselectedCategory(const std::vector<std::string>& items,
                                               std::string_view category);

}  // namespace marupo::editor
