#pragma once
// Many postal codes looked up at once: one pass over each file however many codes there are,
// with the result for every code exactly as SearchPostalFiles gives it alone.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "postal/postal_file_search.h"

namespace marupo::postal {

enum class RecordChoice {
    kFirst,  // the record of the first line that holds the code, as the editor takes it
    kEvery,  // every record whose first line holds the code, in file order
};

// Receives an address found for a code (its number, as CodeSet::Parse gives it), placeholder
// removed and ward split as SearchPostalFiles does.
using AddressSink = std::function<void(std::uint32_t code, const PostalAddress& address)>;

// Looks up every code of `codes` (seven ASCII digits each; repeats are fine; any other text is
// not found) and returns their outcomes in the same order. Each file is opened and read through
// once at most: the nationwide file for all codes, the business-office file only for the codes
// without a nationwide record. The addresses go to `sink` as each record is read whole, in file
// order, once per code however often it is given. A code's addresses count only when its outcome
// is found: with kEvery, a read error later in the file undoes them.
std::vector<SearchOutcome> SearchPostalFilesAtOnce(const std::vector<std::string>& codes,
                                                   const PostalSettings& settings,
                                                   RecordChoice choice, const AddressSink& sink,
                                                   const FileOpener& open = OpenPostalFile,
                                                   std::size_t blockSize = kDefaultBlockSize);

}  // namespace marupo::postal
