#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

  private:
    int fd_;
    bool regular_;
};

}  // namespace

std::unique_ptr<PostalFile> OpenPostalFile(const std::string& path) {
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

}  // namespace marupo::postal
