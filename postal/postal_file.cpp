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

    // The first read fills the buffer as the file alone would: the bytes given again, then more.
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (given_ == size_) return failed_ ? -1 : file_->Read(buffer, size);
        const std::size_t n = std::min(size, size_ - given_);
        std::memcpy(buffer, start_ + given_, n);
        given_ += n;
        if (given_ < size_ || n == size) return static_cast<std::ptrdiff_t>(n);
        const std::ptrdiff_t more = file_->Read(buffer + n, size - n);
        // An error after the bytes given again is reported at the next read.
        failed_ = more < 0;
        return static_cast<std::ptrdiff_t>(n) + std::max<std::ptrdiff_t>(more, 0);
    }

    bool ReadableAgain() const override { return file_->ReadableAgain(); }
    std::optional<CalendarDate> Date() override { return file_->Date(); }

  private:
    std::unique_ptr<PostalFile> file_;
    char start_[kSignatureBytes] = {};
    std::size_t size_;
    std::size_t given_ = 0;
    bool failed_ = false;
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
