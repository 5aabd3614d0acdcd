#pragma once
// The "〒 変換" button: validates the typed postal code, looks it up and merges the found
// address into the page's values, through the confirmation dialog when the page already holds
// an address.

#include "entry/address_entry.h"
#include "postal/postal_address.h"
#include "settings/postal_settings.h"

namespace marupo {

// What the conversion needs of the address page.
class PostalConversionPage {
  public:
    virtual ~PostalConversionPage() = default;
    // Takes all control values into the page's values; false when a transfer was refused (the
    // length message has then been shown already).
    virtual bool TakeControlValues() = 0;
    // Refreshes all of the page's controls from its values.
    virtual void ShowValues() = 0;
    // The page's values: postalCode, prefecture, city and street are read and written.
    virtual AddressEntry& Values() = 0;
    virtual const PostalSettings& Settings() const = 0;
    // The result of the last lookup, owned by the page.
    virtual PostalAddress& LastResult() = 0;
};

void ConvertPostalCode(PostalConversionPage& page);

}  // namespace marupo
