#pragma once
// Many postal codes looked up at once: one pass over each file however many codes there are,
// with the result for every code exactly as SearchPostalFiles gives it alone.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "postal/postal_file_search.h"
#include "postal/postal_record.h"

namespace marupo::postal {

enum class RecordChoice {
    kFirst,  // the record of the first line that holds the code, as the editor takes it
    // That record, then every other record of the code in file order: in the nationwide file
    // the records whose postal-code column is the code. A record the same as an earlier one of
    // the code (prefecture, city and town area as the file has them) is left out.
    kEvery,
};

// Receives a record found for a code (its number, as CodeSet::Parse gives it), as the file has
// it: town area joined, no notes taken out, no ward split (see FinishAddress).
using AddressSink =
    std::function<void(std::uint32_t code, PostalFileKind kind, const PostalAddress& record)>;

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
