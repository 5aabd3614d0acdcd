#include "entry/address_record_transfer.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>

#include "entry/host_text.h"
#include "host/host_call.h"

namespace marupo {
namespace {

using TextGetter = HRESULT (STDMETHODCALLTYPE IAddressRecord::*)(BSTR*);
using TextSetter = HRESULT (STDMETHODCALLTYPE IAddressRecord::*)(BSTR);

struct TextProperty {
    HostTextField field;
    TextGetter get;
    TextSetter set;
};

// The record's single texts (contact slots and custom fields are indexed and go apart).
constexpr TextProperty kTextProperties[] = {
    {HostTextField::givenName, &IAddressRecord::GetGivenName, &IAddressRecord::SetGivenName},
    {HostTextField::givenNameReading, &IAddressRecord::GetGivenNameReading,
     &IAddressRecord::SetGivenNameReading},
    {HostTextField::surname, &IAddressRecord::GetSurname, &IAddressRecord::SetSurname},
    {HostTextField::surnameReading, &IAddressRecord::GetSurnameReading,
     &IAddressRecord::SetSurnameReading},
    {HostTextField::title, &IAddressRecord::GetTitle, &IAddressRecord::SetTitle},
    {HostTextField::company, &IAddressRecord::GetCompany, &IAddressRecord::SetCompany},
    {HostTextField::companyReading, &IAddressRecord::GetCompanyReading,
     &IAddressRecord::SetCompanyReading},
    {HostTextField::postalCode, &IAddressRecord::GetPostalCode, &IAddressRecord::SetPostalCode},
    {HostTextField::prefecture, &IAddressRecord::GetPrefecture, &IAddressRecord::SetPrefecture},
    {HostTextField::city, &IAddressRecord::GetCity, &IAddressRecord::SetCity},
    {HostTextField::street, &IAddressRecord::GetStreet, &IAddressRecord::SetStreet},
    {HostTextField::country, &IAddressRecord::GetCountry, &IAddressRecord::SetCountry},
    {HostTextField::note, &IAddressRecord::GetNote, &IAddressRecord::SetNote},
    {HostTextField::category, &IAddressRecord::GetCategoryName, &IAddressRecord::SetCategoryName},
};

const TextProperty& Property(HostTextField field) {
    return *std::find_if(std::begin(kTextProperties), std::end(kTextProperties),
                         [field](const TextProperty& p) { return p.field == field; });
}

void ReadTexts(IAddressRecord* record, AddressEntry& entry,
               std::initializer_list<HostTextField> fields) {
    for (HostTextField field : fields)
        ReadHostText(entry, field, HostGet(record, Property(field).get).Get());
}

void WriteTexts(IAddressRecord* record, const AddressEntry& entry,
                std::initializer_list<HostTextField> fields) {
    for (HostTextField field : fields)
        HostCall(record, Property(field).set, HostTextFor(entry, field).Get());
}

constexpr long kPrivate = 1;
constexpr long kNotPrivate = 0;

// What both writes end with: the primary slot, the contact slots, the custom fields, the private
// flag and the note.
void WriteSlotsFlagAndNote(IAddressRecord* record, const AddressEntry& entry) {
    // The editor gives back no slot when the host's own value named none of the five; writing
    // that would be refused and lose every later field, so the host keeps its value instead.
    if (entry.primarySlot >= 0 && entry.primarySlot < kContactSlotCount)
        HostCall(record, &IAddressRecord::SetPrimarySlot, long{entry.primarySlot});
    for (int i = 0; i < kContactSlotCount; ++i) {
        const ContactSlot& slot = entry.contactSlots[static_cast<std::size_t>(i)];
        HostCall(record, &IAddressRecord::SetContact, long{i}, long{slot.labelIndex},
                 HostTextFor(entry, ContactTextField(i)).Get());
    }
    for (int i = 0; i < kCustomFieldCount; ++i) {
        HostCall(record, &IAddressRecord::SetCustomField, long{i},
                 HostTextFor(entry, CustomFieldField(i)).Get());
    }
    HostCall(record, &IAddressRecord::SetPrivate, entry.isPrivate ? kPrivate : kNotPrivate);
    WriteTexts(record, entry, {HostTextField::note});
}

}  // namespace

void ReadAddressRecord(IAddressRecord* record, AddressEntry& entry) {
    using F = HostTextField;
    ReadTexts(
        record, entry,
        {F::givenName, F::givenNameReading, F::surname, F::surnameReading, F::title, F::company,
         F::companyReading, F::postalCode, F::prefecture, F::city, F::street, F::country});
    entry.primarySlot = HostGet(record, &IAddressRecord::GetPrimarySlot);
    for (int i = 0; i < kContactSlotCount; ++i) {
        long label = 0;
        UniqueBstr text;
        HostCall(record, &IAddressRecord::GetContact, long{i}, &label, text.Put());
        entry.contactSlots[static_cast<std::size_t>(i)].labelIndex = label;
        ReadHostText(entry, ContactTextField(i), text.Get());
    }
    for (int i = 0; i < kCustomFieldCount; ++i) {
        ReadHostText(entry, CustomFieldField(i),
                     HostGet(record, &IAddressRecord::GetCustomField, long{i}).Get());
    }
    ReadTexts(record, entry, {F::note, F::category});
    entry.isPrivate = HostGet(record, &IAddressRecord::GetPrivate) == kPrivate;
}

void WriteEditedRecord(IAddressRecord* record, const AddressEntry& entry) {
    using F = HostTextField;
    WriteTexts(record, entry,
               {F::category, F::givenName, F::surname, F::title, F::company, F::postalCode,
                F::prefecture, F::city, F::street, F::country});
    WriteSlotsFlagAndNote(record, entry);
}

Microsoft::WRL::ComPtr<IAddressRecord> AddNewRecord(IAddressBook* book, const AddressEntry& entry) {
    using F = HostTextField;
    Microsoft::WRL::ComPtr<IAddressRecord> record =
        HostGet(book, &IAddressBook::AddRecord, HostTextFor(entry, F::category).Get(),
                HostTextFor(entry, F::givenName).Get(), HostTextFor(entry, F::surname).Get());
    WriteTexts(record.Get(), entry,
               {F::givenNameReading, F::surnameReading, F::title, F::company, F::companyReading,
                F::postalCode, F::prefecture, F::city, F::street, F::country});
    WriteSlotsFlagAndNote(record.Get(), entry);
    return record;
}

}  // namespace marupo
