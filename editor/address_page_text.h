#pragma once
// The texts the address page derives from its entry: radio captions, the primary-contact line
// and the growth of a reading field by a captured reading. Shift-JIS byte strings throughout.

#include <cstdint>
#include <string>

#include "entry/address_entry.h"

namespace marupo::editor {

// Which name edit a captured reading came from.
enum ReadingTarget : std::int32_t {
    kReadingSurname = 1,
    kReadingGivenName = 2,
    kReadingCompany = 3,
};

// Caption of a primary-contact radio button: the label's name followed by ":". A label value the
// host made up (outside 0..7) has no name and shows ":" alone.
std::string RadioCaption(std::int32_t labelIndex);

// "「<label of the primary slot>」 <suffix>", the suffix being string-table text 103. Empty when
// no slot is the usual contact (primarySlot outside 0..4).
std::string PrimaryLine(const AddressEntry& entry, const std::string& suffix);

// Appends `reading` without a separator to the reading field of `target`; any other target
// changes nothing. Returns whether a field was chosen.
bool AppendReading(AddressEntry& entry, std::int32_t target, const std::string& reading);

}  // namespace marupo::editor
