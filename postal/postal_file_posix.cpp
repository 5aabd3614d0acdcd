#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "postal/postal_file.h"

namespace marupo::postal {
namespace {

class PosixPostalFile final : public PostalFile {
  public:
    PosixPostalFile(int fd, bool regular) : fd_(fd), regular_(regular) {}
    ~PosixPostalFile() override { close(fd_); }
    PosixPostalFile(const PosixPostalFile&) = delete;
    PosixPostalFile& operator=(const PosixPostalFile&) = delete;

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        while (true) {
            const ssize_t n = read(fd_, buffer, size);
            if (n >= 0) return n;
            if (errno != EINTR) return -1;
        }
    }

    bool ReadableAgain() const override { return regular_; }

    bool Seek(std::uint64_t offset) override {
        return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
    }

    std::optional<std::uint64_t> Size() override {
        struct stat info {};
        if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
    }

    std::optional<CalendarDate> Date() override {
        struct stat info {};
        if (fstat(fd_, &info) != 0) return std::nullopt;
        return LocalDate(info.st_mtime);
    }

  private:
    int fd_;
    bool regular_;
};

}  // namespace

std::unique_ptr<PostalFile> OpenPlainFile(const std::string& path) {
    if (path.empty()) return nullptr;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixPostalFile>(fd, S_ISREG(info.st_mode));
}

CalendarDate LocalDate(std::int64_t unixSeconds) {
    const auto time = static_cast<std::time_t>(unixSeconds);
    struct tm local {};
    if (localtime_r(&time, &local) == nullptr) return CalendarDate{};
    return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

CalendarDate Today() {
    return LocalDate(std::time(nullptr));
}

}  // namespace marupo::postal
