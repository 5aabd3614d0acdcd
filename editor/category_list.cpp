#include "editor/category_list.h"

#include <algorithm>

#include "text/sjis.h"

namespace marupo::editor {

std::vector<std::string> CategoryItems(std::vector<std::string> hostNames) {
    if (hostNames.empty()) return {std::string()};
    std::stable_sort(
        hostNames.begin() + 1, hostNames.end(),
        [](const std::string& a, const std::string& b) { return text::CompareCp932(a, b) < 0; });
    std::rotate(hostNames.begin(), hostNames.begin() + 1, hostNames.end());
    return hostNames;
}

std::optional<std::size_t> PreselectedCategory(const std::vector<std::string>& items,
                                               std::string_view category) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (text::StartsWithIgnoringCase(items[i], category)) return i;
    return std::nullopt;
}

}  // namespace marupo::editor
