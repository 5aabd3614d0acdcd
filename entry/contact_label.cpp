#include "entry/contact_label.h"

namespace marupo {
namespace {

// Shift-JIS byte strings, indexed by label value.
constexpr std::array<std::string_view, kContactLabelCount> kNames = {
    "\x89\xef\x8e\xd0",                  // 会社
    "\x8e\xa9\x91\xee",                  // 自宅
    "Fax",                               //
    "\x82\xbb\x82\xcc\x91\xbc",          // その他
    "E-Mail",                            //
    "\x91\xe3\x95\x5c",                  // 代表 (trail byte 0x5C, the backslash)
    "\x83\x7c\x83\x50\x83\x78\x83\x8b",  // ポケベル
    "\x8c\x67\x91\xd1",                  // 携帯
};

constexpr bool IsLabel(std::int32_t label) {
    return label >= 0 && label < kContactLabelCount;
}

}  // namespace

std::string_view ContactLabelName(std::int32_t label) {
    return IsLabel(label) ? kNames[static_cast<std::size_t>(label)] : std::string_view();
}

unsigned ContactLabelMenuId(std::int32_t label) {
    return IsLabel(label) ? kContactLabelMenuIds[static_cast<std::size_t>(label)]
                          : kContactLabelMenuIds[labelCompany];
}

std::optional<std::int32_t> ContactLabelFromMenuId(unsigned menuId) {
    for (std::size_t i = 0; i < kContactLabelMenuIds.size(); ++i) {
        if (kContactLabelMenuIds[i] == menuId) return static_cast<std::int32_t>(i);
    }
    return std::nullopt;
}

}  // namespace marupo
