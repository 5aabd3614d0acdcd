#include "entry/address_entry.h"

#include <stdexcept>

namespace marupo {

const std::string& EntryText(const AddressEntry& entry, HostTextField field) {
    const int id = static_cast<int>(field);
    const int firstSlot = static_cast<int>(HostTextField::kContactText0);
    const int firstCustom = static_cast<int>(HostTextField::kCustomField0);
    if (id >= firstSlot && id < firstSlot + kContactSlotCount) {
        return entry.contactSlots[static_cast<std::size_t>(id - firstSlot)].text;
    }
    if (id >= firstCustom && id < firstCustom + kCustomFieldCount) {
        return entry.customFields[static_cast<std::size_t>(id - firstCustom)];
    }
    switch (field) {
        case HostTextField::kGivenName:
            return entry.givenName;
        case HostTextField::kGivenNameReading:
            return entry.givenNameReading;
        case HostTextField::kSurname:
            return entry.surname;
        case HostTextField::kSurnameReading:
            return entry.surnameReading;
        case HostTextField::kTitle:
            return entry.title;
        case HostTextField::kCompany:
            return entry.company;
        case HostTextField::kCompanyReading:
            return entry.companyReading;
        case HostTextField::kPostalCode:
            return entry.postalCode;
        case HostTextField::kPrefecture:
            return entry.prefecture;
        case HostTextField::kCity:
            return entry.city;
        case HostTextField::kStreet:
            return entry.street;
        case HostTextField::kCountry:
            return entry.country;
        case HostTextField::kNote:
            return entry.note;
        case HostTextField::kCategory:
            return entry.category;
        case HostTextField::kViewCategory:
            return entry.viewCategory;
        default:
            break;
    }
    throw std::out_of_range("no entry text for this field");
}

std::string& EntryText(AddressEntry& entry, HostTextField field) {
    return const_cast<std::string&>(EntryText(static_cast<const AddressEntry&>(entry), field));
}

}  // namespace marupo
