// libFuzzer target for the ZIP reader: every input is an archive image, behind one byte that sets
// the size of the reads. Opening it and reading its CSV entry to the end must neither crash nor
// loop, and never yield more than the entry says it holds.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "zip/zip_archive.h"

namespace {

class MemoryFile final : public marupo::postal::PostalFile {
  public:
    explicit MemoryFile(std::string_view content) : content_(content) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, content_.size() - position_);
        std::memcpy(buffer, content_.data() + position_, n);
        position_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }
    bool Seek(std::uint64_t offset) override {
        if (offset > content_.size()) return false;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }
    std::optional<std::uint64_t> Size() override { return content_.size(); }

  private:
    std::string_view content_;
    std::size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t readSize = 1 + data[0] % 64 * 97;
    const std::string_view archive(reinterpret_cast<const char*>(data + 1), size - 1);
    auto entry = marupo::zip::OpenCsvEntry(std::make_unique<MemoryFile>(archive));
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
