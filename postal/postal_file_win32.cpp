#include <windows.h>

#include "postal/postal_file.h"
#include "win/unique_handle.h"

namespace marupo::postal {
namespace {

CalendarDate LocalDateOf(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME day;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &day)) {
        return CalendarDate{};
    }
    return CalendarDate{day.wYear, day.wMonth, day.wDay};
}

class WindowsPostalFile final : public PostalFile {
  public:
    bool Open(const std::string& path) {
        // Share mode 0: exclusive, as the add-in has always opened the postal-code files.
        // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened.
        file_.Reset(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return static_cast<bool>(file_);
    }

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD read = 0;
        if (!ReadFile(file_.Get(), buffer, wanted, &read, nullptr)) return -1;
        return static_cast<std::ptrdiff_t>(read);
    }

    bool ReadableAgain() const override { return GetFileType(file_.Get()) == FILE_TYPE_DISK; }

    bool Seek(std::uint64_t offset) override {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN) != FALSE;
    }

    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER size;
        if (GetFileType(file_.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file_.Get(), &size)) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    std::optional<CalendarDate> Date() override {
        FILETIME written;
        if (!GetFileTime(file_.Get(), nullptr, nullptr, &written)) return std::nullopt;
        return LocalDateOf(written);
    }

  private:
    win::UniqueFile file_;
};

}  // namespace

std::unique_ptr<PostalFile> OpenPlainFile(const std::string& path) {
    if (path.empty()) return nullptr;
    // The object comes first: running out of memory once the file is open would leave it open,
    // and, opened exclusively, it would refuse every later search while the host runs.
    auto file = std::make_unique<WindowsPostalFile>();
    if (!file->Open(path)) return nullptr;
    return file;
}

CalendarDate LocalDate(std::int64_t unixSeconds) {
    // FILETIME counts 100 ns from 1601-01-01, 11644473600 s before 1970.
    const auto ticks = static_cast<std::uint64_t>((unixSeconds + 11644473600LL) * 10000000LL);
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(ticks);
    utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return LocalDateOf(utc);
}

CalendarDate Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
}

}  // namespace marupo::postal
