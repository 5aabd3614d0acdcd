#include <windows.h>

#include "postal/postal_file.h"

namespace marupo::postal {
namespace {

class WindowsPostalFile final : public PostalFile {
  public:
    WindowsPostalFile() = default;
    ~WindowsPostalFile() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    WindowsPostalFile(const WindowsPostalFile&) = delete;
    WindowsPostalFile& operator=(const WindowsPostalFile&) = delete;

    bool Open(const std::string& path) {
        // Share mode 0: exclusive, as the add-in has always opened the postal-code files.
        // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened.
        file_ = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD read = 0;
        if (!ReadFile(file_, buffer, wanted, &read, nullptr)) return -1;
        return static_cast<std::ptrdiff_t>(read);
    }

    bool ReadableAgain() const override { return GetFileType(file_) == FILE_TYPE_DISK; }

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<PostalFile> OpenPostalFile(const std::string& path) {
    if (path.empty()) return nullptr;
    // The object comes first: running out of memory once the file is open would leave it open,
    // and, opened exclusively, it would refuse every later search while the host runs.
    auto file = std::make_unique<WindowsPostalFile>();
    if (!file->Open(path)) return nullptr;
    return file;
}

}  // namespace marupo::postal
