#include "editor/category_list.h"

#include <algorithm>

#include "text/sjis.h"

namespace marupo::editor {

std::vector<CategoryItem> CategoryItems(std::vector<CategoryItem> hostCategories) {
    if (hostCategories.empty()) return {CategoryItem{}};
    std::stable_sort(hostCategories.begin() + 1, hostCategories.end(),
                     [](const CategoryItem& a, const CategoryItem& b) {
                         return text::CompareCp932(a.name, b.name) < 0;
                     });
    std::rotate(hostCategories.begin(), hostCategories.begin() + 1, hostCategories.end());
    return hostCategories;
}

std::optional<std::size_t> PreselectedCategory(const std::vector<CategoryItem>& items,
                                               std::string_view category,
                                               const std::u16string* hostName) {
    if (hostName != nullptr) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].hostName == *hostName) return i;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        if (text::StartsWithIgnoringCase(items[i].name, category)) return i;
    return std::nullopt;
}

}  // namespace marupo::editor
