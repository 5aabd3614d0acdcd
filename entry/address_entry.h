#pragma once
// The in-memory copy of one address record while the editor is open on it. All texts are in
// the ANSI code page (Shift-JIS); lengths count bytes.

#include <array>
#include <cstdint>
#include <string>

namespace marupo {

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
    std::int32_t labelIndex = labelCompany;
    std::string text;
};

}  // namespace marupo

namespace marupo {

// Fields in the order in which the edit command reads them from the host.
struct AddressEntry {
    std::string givenName;  // 名: no length limit in the editor
    std::string givenNameReading;
    std::string surname;
    std::string surnameReading;
    std::string title;
    std::string company;
    std::string companyReading;
    std::string postalCode;  // as typed; the conversion validates it
    std::string prefecture;
    std::string city;
    std::string street;  // may hold line breaks
    std::string country;
    std::int32_t primarySlot = -1;  // -1: no radio button chosen
    std::array<ContactSlot, kContactSlotCount> contactSlots{
        {{labelCompany, {}}, {labelHome, {}}, {labelFax, {}}, {labelOther, {}}, {labelEmail, {}}}};
    std::array<std::string, kCustomFieldCount> customFields;
    std::string note;  // may hold line breaks
    std::string category;
    bool isPrivate = false;

    // Context travelling with the entry, not written to the host as fields.
    std::array<std::string, kCustomFieldCount> customLabels;  // already formatted "%s:"
    std::string viewCategory;                                 // "All" for all categories
    bool editsExisting = false;
};

}  // namespace marupo
