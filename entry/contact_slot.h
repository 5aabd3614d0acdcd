#pragma once
// The contact slots of an entry: five phone numbers or e-mail addresses, each with a label.

#include <cstdint>
#include <string>

namespace marupo {

// The host's own label numbers.
enum ContactLabel : std::int32_t {
    labelCompany = 0,  // 会社
    labelHome = 1,     // 自宅
    labelFax = 2,      // Fax
    labelOther = 3,    // その他
    labelEmail = 4,    // E-Mail
    labelMain = 5,     // 代表
    labelPager = 6,    // ポケベル
    labelMobile = 7,   // 携帯
};
constexpr int kContactLabelCount = 8;
constexpr int kContactSlotCount = 5;
constexpr int kCustomFieldCount = 4;

struct ContactSlot {
    std::int32_t labelIndex = labelCompany;  // a ContactLabel value, as the host gave it
    std::string text;
};

}  // namespace marupo
