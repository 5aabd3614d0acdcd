#pragma once
// The postal-code file search: a sequential scan of the nationwide file and, only when that holds
// no line with the code, of the business-office file. No index and no cache: every search opens,
// reads and closes the files afresh. The caller shows the messages for the outcome.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "postal/postal_address.h"
#include "postal/postal_file.h"
#include "postal/postal_line_scan.h"
#include "postal/postal_record.h"
#include "postal/town_area_notes.h"
#include "settings/postal_settings.h"

namespace marupo::postal {

enum class SearchOutcome {
    kFound,
    kNotFound,              // in neither file
    kNationwideUnopenable,  // the business file was not tried
    kBusinessUnopenable,    // after the nationwide file held no line for the code
    kNationwideUnreadable,  // a read error in the middle of the file
    kBusinessUnreadable,
};

using FileOpener = std::function<std::unique_ptr<PostalFile>(const std::string& path)>;

// Searches for `code` (normally the seven digits of NormalizePostalCode; compared as text) and
// fills `result` on success. `result` is cleared first: a part the found line lacks stays empty.
// The first line that holds the code gives the address, its town area joined over the lines
// that continue it (see AddressRecord); either edition of the nationwide file reads the same.
// The address is finished (FinishAddress).
SearchOutcome SearchPostalFiles(std::string_view code, const PostalSettings& settings,
                                PostalAddress& result, const FileOpener& open = OpenPostalFile,
                                std::size_t blockSize = kDefaultBlockSize);

// Every record of a code, as the file that holds them has them (not finished).
struct PostalRecords {
    PostalFileKind kind = PostalFileKind::kNationwide;
    // The first is the record SearchPostalFiles finds; the others follow in file order, each
    // once (RecordChoice::kEvery).
    std::vector<PostalAddress> records;
};

// Searches for every record of `code`, in one pass over each file. On success `result` holds
// at least one record.
SearchOutcome SearchEveryRecord(std::string_view code, const PostalSettings& settings,
                                PostalRecords& result, const FileOpener& open = OpenPostalFile,
                                std::size_t blockSize = kDefaultBlockSize);

// What every found record goes through before it becomes an address: a nationwide record has
// its notes taken out (TakeNotesOut), a business-office record only its placeholder town area
// removed; then the designated city split when `settings.divCity` is 1.
void FinishAddress(PostalAddress& address, PostalFileKind kind, const PostalSettings& settings);

// Empties `street` when it is the placeholder text as a whole.
void RemoveNoTownArea(PostalAddress& address);

// Moves the ward of a designated city to the front of the street: the city is cut behind its
// first 市 unless 市 is missing, first or last, or the city is one of the names that hold 市
// before their end (四日市市, 廿日市市, 市原市, 市川市, 今市市).
void SplitDesignatedCity(PostalAddress& address);

}  // namespace marupo::postal
