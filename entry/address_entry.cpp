#include "entry/address_entry.h"

#include <stdexcept>

namespace marupo {

const std::string& EntryText(const AddressEntry& entry, HostTextField field) {
    const int id = static_cast<int>(field);
    const int firstSlot = static_cast<int>(HostTextField::contactText0);
    const int firstCustom = static_cast<int>(HostTextField::customField0);
    if (id >= firstSlot && id < firstSlot + kContactSlotCount) {
        return entry.contactSlots[static_cast<std::size_t>(id - firstSlot)].text;
    }
    if (id >= firstCustom && id < firstCustom + kCustomFieldCount) {
        return entry.customFields[static_cast<std::size_t>(id - firstCustom)];
    }
    switch (field) {
        case HostTextField::givenName:
            return entry.givenName;
        case HostTextField::givenNameReading:
            return entry.givenNameReading;
        case HostTextField::surname:
            return entry.surname;
        case HostTextField::surnameReading:
            return entry.surnameReading;
        case HostTextField::title:
            return entry.title;
        case HostTextField::company:
            return entry.company;
        case HostTextField::companyReading:
            return entry.companyReading;
        case HostTextField::postalCode:
            return entry.postalCode;
        case HostTextField::prefecture:
            return entry.prefecture;
        case HostTextField::city:
            return entry.city;
        case HostTextField::street:
            return entry.street;
        case HostTextField::country:
            return entry.country;
        case HostTextField::note:
            return entry.note;
        case HostTextField::category:
            return entry.category;
        case HostTextField::viewCategory:
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
