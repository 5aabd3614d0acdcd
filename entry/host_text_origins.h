#pragma once
// The host's own UTF-16 text of each field read from it. Converting to the ANSI code page turns
// a character that Shift-JIS cannot hold (𠮷, emoji, hangul) into "?"; since every field is
// written back on OK, an untouched field would lose such characters. A field whose ANSI text is
// still what was read is therefore written back with the host's original text.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "entry/contact_slot.h"

namespace marupo {

// The texts of an entry that cross the host boundary. Slots and custom fields are numbered on
// from their first member.
enum class HostTextField : int {
    kGivenName,
    kGivenNameReading,
    kSurname,
    kSurnameReading,
    kTitle,
    kCompany,
    kCompanyReading,
    kPostalCode,
    kPrefecture,
    kCity,
    kStreet,
    kCountry,
    kContactText0,
    kCustomField0 = kContactText0 + kContactSlotCount,
    kNote = kCustomField0 + kCustomFieldCount,
    kCategory,
    kViewCategory,  // what the new-record path presets the category from
    kCount,
};

constexpr HostTextField ContactTextField(int slot) {
    return static_cast<HostTextField>(static_cast<int>(HostTextField::kContactText0) + slot);
}
constexpr HostTextField CustomFieldField(int index) {
    return static_cast<HostTextField>(static_cast<int>(HostTextField::kCustomField0) + index);
}

class HostTextOrigins {
  public:
    // Notes that `field` was read from the host as `hostText`, which converted to `ansi`.
    void Record(HostTextField field, std::string ansi, std::u16string hostText);
    // The host's text for `field` if its ANSI text is still `currentAnsi`; null when the field
    // was never read from the host or has changed since.
    const std::u16string* Original(HostTextField field, std::string_view currentAnsi) const;
    // Lets `to` start from what `from` was read as (a new record's category preset from the
    // view's category).
    void CopyOrigin(HostTextField from, HostTextField to);
    void Forget(HostTextField field);

  private:
    struct Origin {
        std::string ansi;
        std::u16string host;
    };
    static std::size_t Index(HostTextField field);

    std::array<std::optional<Origin>, static_cast<std::size_t>(HostTextField::kCount)> origins_;
};

}  // namespace marupo
