#include "postal/postal_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "zip/zip_archive.h"

namespace marupo::postal {
namespace {

constexpr std::size_t kSignatureBytes = 4;

// A file whose first bytes have been read to tell its kind, and are given again.
class PeekedFile final : public PostalFile {
  public:
    PeekedFile(std::unique_ptr<PostalFile> file, const char* start, std::size_t size)
        : file_(std::move(file)), size_(size) {
        std::memcpy(start_, start, size);
    }

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (given_ == size_) return file_->Read(buffer, size);
        const std::size_t n = std::min(size, size_ - given_);
        std::memcpy(buffer, start_ + given_, n);
        given_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }

    bool Seek(std::uint64_t offset) override {
        if (!file_->Seek(offset)) return false;
        given_ = size_;
        return true;
    }

    std::optional<std::uint64_t> Size() override { return file_->Size(); }
    std::optional<CalendarDate> Date() override { return file_->Date(); }

  private:
    std::unique_ptr<PostalFile> file_;
    char start_[kSignatureBytes] = {};
    std::size_t size_;
    std::size_t given_ = 0;
};

}  // namespace

std::unique_ptr<PostalFile> OpenPostalData(std::unique_ptr<PostalFile> file) {
    char start[kSignatureBytes];
    std::size_t size = 0;
    while (size < sizeof start) {
        const std::ptrdiff_t n = file->Read(start + size, sizeof start - size);
        if (n < 0) return nullptr;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    if (zip::IsZipSignature(std::string_view(start, size))) {
        return zip::OpenCsvEntry(std::move(file));
    }
    return std::make_unique<PeekedFile>(std::move(file), start, size);
}

std::unique_ptr<PostalFile> OpenPostalFile(const std::string& path) {
    std::unique_ptr<PostalFile> file = OpenPlainFile(path);
    if (!file) return nullptr;
    return OpenPostalData(std::move(file));
}

}  // namespace marupo::postal
