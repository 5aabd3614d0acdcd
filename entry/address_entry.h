#pragma once
// The in-memory copy of one address record while the editor is open on it. All texts are in
// the ANSI code page (Shift-JIS); lengths count bytes.

#include <array>
#include <cstdint>
#include <string>

#include "entry/contact_slot.h"
#include "entry/host_object_ref.h"
#include "entry/host_text_origins.h"

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
    // The host's category-name list (ICategoryNames), which the editor fills its category list
    // from; one reference, released with the entry. Set and read through
    // entry/host_categories.h on Windows.
    HostObjectRef hostCategories;
    // The host's own text of every field read from it, so that characters Shift-JIS cannot hold
    // survive a field the user did not change (entry/host_text.h).
    HostTextOrigins hostTextOrigins;
};

// The entry's text that a field id stands for (viewCategory included).
std::string& EntryText(AddressEntry& entry, HostTextField field);
const std::string& EntryText(const AddressEntry& entry, HostTextField field);

}  // namespace marupo
