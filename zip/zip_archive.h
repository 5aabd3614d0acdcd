#pragma once
// Japan Post's downloads as they come: the one CSV entry of a ZIP archive, read in one streaming
// pass (stored, or inflated with zlib) and checked against its CRC once read to its end. Nothing
// is unpacked to disk, and memory stays a few blocks whatever the archive holds.

#include <memory>
#include <string_view>

#include "postal/postal_file.h"

namespace marupo::zip {

// Whether `start`, a file's first four bytes, begins a ZIP archive.
bool IsZipSignature(std::string_view start);

// The entry of `archive` whose name ends in ".csv" in any case, in whatever folder, as a file
// read from its start; its Date is the entry's modification day (the extended timestamp where
// present, else the DOS date). Null when the archive cannot be used: damaged or truncated, with no
// such entry or several, encrypted, packed by a method other than stored or deflate, spanning
// disks, or in the ZIP64 format. A damaged stream or a CRC that does not match is a read error.
std::unique_ptr<postal::PostalFile> OpenCsvEntry(std::unique_ptr<postal::PostalFile> archive);

}  // namespace marupo::zip
