#pragma once
// The items of the editor's category drop-down, built from the host's category names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marupo::editor {

// One host category: its name in the ANSI code page, as the drop-down shows it, and the host's
// own text of it, which is what a record gets (the ANSI name has lost any character that
// Shift-JIS cannot hold).
struct CategoryItem {
    std::string name;
    std::u16string hostName;
};

// The host's first category (its unfiled one) goes last; the others come before it in code page
// 932 order, equal names in the host's order. Every name is listed, however many there are. No
// names give one empty item.
std::vector<CategoryItem> CategoryItems(std::vector<CategoryItem> hostCategories);

// The item the host calls `hostName`, when one is given and listed: the entry's own category,
// however its ANSI name reads. Otherwise the first item, from the top, whose name begins with
// `category` regardless of letter case; none when no item does.
std::optional<std::size_t> PreselectedCategory(const std::vector<CategoryItem>& items,
                                               std::string_view category,
                                               const std::u16string* hostName);

}  // namespace marupo::editor
