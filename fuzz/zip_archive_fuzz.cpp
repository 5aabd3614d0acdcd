// libFuzzer target for the ZIP reader: every input is an archive image, behind one byte that sets
// the size of the reads. Opening it and reading its CSV entry to the end must neither crash nor
// loop, and never yield more than the entry says it holds.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/memory_file.h"
#include "zip/zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t readSize = 1 + data[0] % 64 * 97;
    std::string archive(reinterpret_cast<const char*>(data + 1), size - 1);
    auto entry = marupo::zip::OpenCsvEntry(
        std::make_unique<marupo::testing::MemoryFile>(std::move(archive)));
    if (!entry) return 0;
    const std::uint64_t declared = *entry->Size();
    entry->Date();
    static char buffer[64 * 97 + 1];
    std::uint64_t total = 0;
    std::ptrdiff_t n = 0;
    while ((n = entry->Read(buffer, readSize)) > 0) {
        total += static_cast<std::uint64_t>(n);
        if (total > declared) std::abort();
    }
    // Once ended or failed, it stays so.
    if (entry->Read(buffer, readSize) != n) std::abort();
    return 0;
}
