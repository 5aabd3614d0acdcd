/* Compile-time check that every host method sits at the vtable slot the host calls. The C
 * declarations expose the vtables as structs, so a slot is an offset there. */
#define COBJMACROS
#include <stddef.h>

#include "host/desktop_host.h"

#define SLOT(vtbl, method, n) \
    _Static_assert(offsetof(vtbl, method) == (n) * sizeof(void*), #vtbl "::" #method " slot")

SLOT(IDesktopCommandTableVtbl, AddCommand, 7);
SLOT(IDesktopCommandTableVtbl, AddMenuItem, 8);
SLOT(IDesktopApplicationVtbl, GetCommandTable, 7);
SLOT(IDesktopApplicationVtbl, GetAddressBook, 10);
SLOT(IDesktopApplicationVtbl, GetPrivateDisplayMode, 22);
SLOT(IAddressBookVtbl, GetCategories, 7);
SLOT(IAddressBookVtbl, GetCurrentCategory, 8);
SLOT(IAddressBookVtbl, GetSelection, 10);
SLOT(IAddressBookVtbl, AddRecord, 11);
SLOT(IAddressBookVtbl, GetCustomLabel, 16);
SLOT(IAddressRecordsVtbl, GetCount, 7);
SLOT(IAddressRecordsVtbl, GetItem, 8);
SLOT(ICategoryNamesVtbl, GetCount, 7);
SLOT(ICategoryNamesVtbl, GetItem, 8);
SLOT(IAddressRecordVtbl, GetGivenName, 7);
SLOT(IAddressRecordVtbl, SetGivenName, 8);
SLOT(IAddressRecordVtbl, GetSurname, 9);
SLOT(IAddressRecordVtbl, SetSurname, 10);
SLOT(IAddressRecordVtbl, GetTitle, 11);
SLOT(IAddressRecordVtbl, SetTitle, 12);
SLOT(IAddressRecordVtbl, GetCompany, 13);
SLOT(IAddressRecordVtbl, SetCompany, 14);
SLOT(IAddressRecordVtbl, GetStreet, 15);
SLOT(IAddressRecordVtbl, SetStreet, 16);
SLOT(IAddressRecordVtbl, GetCity, 17);
SLOT(IAddressRecordVtbl, SetCity, 18);
SLOT(IAddressRecordVtbl, GetPrefecture, 19);
SLOT(IAddressRecordVtbl, SetPrefecture, 20);
SLOT(IAddressRecordVtbl, GetPostalCode, 21);
SLOT(IAddressRecordVtbl, SetPostalCode, 22);
SLOT(IAddressRecordVtbl, GetCountry, 23);
SLOT(IAddressRecordVtbl, SetCountry, 24);
SLOT(IAddressRecordVtbl, GetNote, 25);
SLOT(IAddressRecordVtbl, SetNote, 26);
SLOT(IAddressRecordVtbl, GetCustomField, 27);
SLOT(IAddressRecordVtbl, SetCustomField, 28);
SLOT(IAddressRecordVtbl, GetCategoryName, 30);
SLOT(IAddressRecordVtbl, SetCategoryName, 31);
SLOT(IAddressRecordVtbl, GetPrivate, 38);
SLOT(IAddressRecordVtbl, SetPrivate, 39);
SLOT(IAddressRecordVtbl, GetContact, 40);
SLOT(IAddressRecordVtbl, SetContact, 41);
SLOT(IAddressRecordVtbl, GetPrimarySlot, 42);
SLOT(IAddressRecordVtbl, SetPrimarySlot, 43);
SLOT(IAddressRecordVtbl, GetGivenNameReading, 44);
SLOT(IAddressRecordVtbl, SetGivenNameReading, 45);
SLOT(IAddressRecordVtbl, GetSurnameReading, 46);
SLOT(IAddressRecordVtbl, SetSurnameReading, 47);
SLOT(IAddressRecordVtbl, GetCompanyReading, 48);
SLOT(IAddressRecordVtbl, SetCompanyReading, 49);
SLOT(IDesktopAddinEntryVtbl, Remove, 17);
SLOT(IDesktopAddinRegistryVtbl, RegisterAddin, 17);
SLOT(IDesktopAddinRegistryVtbl, FindAddin, 19);
SLOT(IDesktopCommandVtbl, OnCommand, 7);
SLOT(IDesktopAddinVtbl, OnInitialize, 7);
SLOT(IDesktopAddinVtbl, OnUninitialize, 8);
SLOT(IDesktopAddinVtbl, GetFrameworkVersion, 9);
SLOT(IDesktopAddinVtbl, ShowAboutBox, 10);
SLOT(IDesktopAddinVtbl, ShowProperties, 11);
