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
    {HostTextField::kGivenName, &IAddressRecord::GetGivenName, &IAddressRecord::SetGivenName},
    {HostTextField::kGivenNameReading, &IAddressRecord::GetGivenNameReading,
     &IAddressRecord::SetGivenNameReading},
    {HostTextField::kSurname, &IAddressRecord::GetSurname, &IAddressRecord::SetSurname},
    {HostTextField::kSurnameReading, &IAddressRecord::GetSurnameReading,
     &IAddressRecord::SetSurnameReading},
    {HostTextField::kTitle, &IAddressRecord::GetTitle, &IAddressRecord::SetTitle},
    {HostTextField::kCompany, &IAddressRecord::GetCompany, &IAddressRecord::SetCompany},
    {HostTextField::kCompanyReading, &IAddressRecord::GetCompanyReading,
     &IAddressRecord::SetCompanyReading},
    {HostTextField::kPostalCode, &IAddressRecord::GetPostalCode, &IAddressRecord::SetPostalCode},
    {HostTextField::kPrefecture, &IAddressRecord::GetPrefecture, &IAddressRecord::SetPrefecture},
    {HostTextField::kCity, &IAddressRecord::GetCity, &IAddressRecord::SetCity},
    {HostTextField::kStreet, &IAddressRecord::GetStreet, &IAddressRecord::SetStreet},
    {HostTextField::kCountry, &IAddressRecord::GetCountry, &IAddressRecord::SetCountry},
    {HostTextField::kNote, &IAddressRecord::GetNote, &IAddressRecord::SetNote},
    {HostTextField::kCategory, &IAddressRecord::GetCategoryName, &IAddressRecord::SetCategoryName},
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
    WriteTexts(record, entry, {HostTextField::kNote});
}

}  // namespace

void ReadAddressRecord(IAddressRecord* record, AddressEntry& entry) {
    using F = HostTextField;
    ReadTexts(record, entry,
              {F::kGivenName, F::kGivenNameReading, F::kSurname, F::kSurnameReading, F::kTitle,
               F::kCompany, F::kCompanyReading, F::kPostalCode, F::kPrefecture, F::kCity,
               F::kStreet, F::kCountry});
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
    ReadTexts(record, entry, {F::kNote, F::kCategory});
    entry.isPrivate = HostGet(record, &IAddressRecord::GetPrivate) == kPrivate;
}

void WriteEditedRecord(IAddressRecord* record, const AddressEntry& entry) {
    using F = HostTextField;
    WriteTexts(record, entry,
               {F::kCategory, F::kGivenName, F::kSurname, F::kTitle, F::kCompany, F::kPostalCode,
                F::kPrefecture, F::kCity, F::kStreet, F::kCountry});
    WriteSlotsFlagAndNote(record, entry);
}

Microsoft::WRL::ComPtr<IAddressRecord> AddNewRecord(IAddressBook* book, const AddressEntry& entry) {
    using F = HostTextField;
    Microsoft::WRL::ComPtr<IAddressRecord> record =
        HostGet(book, &IAddressBook::AddRecord, HostTextFor(entry, F::kCategory).Get(),
                HostTextFor(entry, F::kGivenName).Get(), HostTextFor(entry, F::kSurname).Get());
    WriteTexts(
        record.Get(), entry,
        {F::kGivenNameReading, F::kSurnameReading, F::kTitle, F::kCompany, F::kCompanyReading,
         F::kPostalCode, F::kPrefecture, F::kCity, F::kStreet, F::kCountry});
    WriteSlotsFlagAndNote(record.Get(), entry);
    return record;
}

}  // namespace marupo
