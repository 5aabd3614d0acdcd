#include "zip/zip_archive.h"

#include <zlib.h>

#include "zip/crc32.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace marupo::zip {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::size_t kLocalHeaderBytes = 30;
constexpr std::size_t kCentralHeaderBytes = 46;
constexpr std::size_t kEndBytes = 22;
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::size_t kMaxCommentBytes = 0xFFFF;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kExtendedTimestamp = 0x5455;
constexpr std::size_t kBlockSize = 64 * 1024;

std::uint16_t Get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(Get16(p)) | static_cast<std::uint32_t>(Get16(p + 2)) << 16;
}

// Reads exactly `size` bytes at `offset`.
bool ReadAt(postal::PostalFile& file, std::uint64_t offset, unsigned char* buffer,
            std::size_t size) {
    if (!file.Seek(offset)) return false;
    auto* out = reinterpret_cast<char*>(buffer);
    while (size > 0) {
        const std::ptrdiff_t n = file.Read(out, size);
        if (n <= 0) return false;
        out += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool EndsWithCsv(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'c' && (tail[2] | 0x20) == 's' &&
           (tail[3] | 0x20) == 'v';
}

// What the central directory says of the entry to read.
struct Entry {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint32_t crc = 0;
    std::uint32_t packedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localHeader = 0;
    std::optional<std::int64_t> unixTime;  // from the extended timestamp
};

std::optional<std::int64_t> ExtendedTimestamp(const std::vector<unsigned char>& extra) {
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint16_t id = Get16(&extra[at]);
        const std::size_t length = Get16(&extra[at + 2]);
        const std::size_t data = at + 4;
        if (data + length > extra.size()) break;
        // Flags, then the modification time when flag bit 0 says it is there.
        if (id == kExtendedTimestamp && length >= 5 && (extra[data] & 1) != 0) {
            return static_cast<std::int32_t>(Get32(&extra[data + 1]));
        }
        at = data + length;
    }
    return std::nullopt;
}

// The archive's end record: where the central directory lies and how many entries it holds.
struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::size_t entries = 0;
};

std::optional<Directory> FindDirectory(postal::PostalFile& archive, std::uint64_t fileSize) {
    if (fileSize < kEndBytes) return std::nullopt;
    // The end record sits at the very end, behind a comment of up to 64 KB.
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndBytes + kMaxCommentBytes));
    const std::uint64_t tailStart = fileSize - tailSize;
    std::vector<unsigned char> tail(tailSize);
    if (!ReadAt(archive, tailStart, tail.data(), tail.size())) return std::nullopt;
    for (std::size_t at = tailSize - kEndBytes + 1; at-- > 0;) {
        const unsigned char* end = &tail[at];
        if (Get32(end) != kEndSignature || at + kEndBytes + Get16(end + 20) > tailSize) continue;
        // ZIP64 and archives on several disks are not read.
        if (tailStart + at >= kZip64LocatorBytes) {
            unsigned char locator[4];
            if (!ReadAt(archive, tailStart + at - kZip64LocatorBytes, locator, sizeof locator)) {
                return std::nullopt;
            }
            if (Get32(locator) == kZip64LocatorSignature) return std::nullopt;
        }
        const std::uint16_t disk = Get16(end + 4);
        const std::uint16_t directoryDisk = Get16(end + 6);
        const std::uint16_t entriesHere = Get16(end + 8);
        const std::uint16_t entries = Get16(end + 10);
        Directory directory{Get32(end + 16), Get32(end + 12), entries};
        if (disk != 0 || directoryDisk != 0 || entriesHere != entries || entries == 0xFFFF ||
            directory.size == 0xFFFFFFFF || directory.offset == 0xFFFFFFFF ||
            directory.offset + directory.size > tailStart + at) {
            return std::nullopt;
        }
        return directory;
    }
    return std::nullopt;
}

// The one CSV entry of the central directory; none when there is none, several, or a header is
// damaged.
std::optional<Entry> FindCsvEntry(postal::PostalFile& archive, const Directory& directory) {
    std::optional<Entry> found;
    std::uint64_t at = directory.offset;
    const std::uint64_t end = directory.offset + directory.size;
    std::string name;
    std::vector<unsigned char> extra;
    for (std::size_t i = 0; i < directory.entries; ++i) {
        unsigned char header[kCentralHeaderBytes];
        if (at + kCentralHeaderBytes > end || !ReadAt(archive, at, header, sizeof header) ||
            Get32(header) != kCentralHeaderSignature) {
            return std::nullopt;
        }
        const std::size_t nameBytes = Get16(header + 28);
        const std::size_t extraBytes = Get16(header + 30);
        const std::size_t commentBytes = Get16(header + 32);
        const std::uint64_t next = at + kCentralHeaderBytes + nameBytes + extraBytes + commentBytes;
        if (next > end) return std::nullopt;
        name.resize(nameBytes);
        extra.resize(extraBytes);
        if (!ReadAt(archive, at + kCentralHeaderBytes,
                    reinterpret_cast<unsigned char*>(name.data()), nameBytes) ||
            !ReadAt(archive, at + kCentralHeaderBytes + nameBytes, extra.data(), extraBytes)) {
            return std::nullopt;
        }
        if (EndsWithCsv(name)) {
            if (found) return std::nullopt;
            Entry entry;
            entry.flags = Get16(header + 8);
            entry.method = Get16(header + 10);
            entry.dosTime = Get16(header + 12);
            entry.dosDate = Get16(header + 14);
            entry.crc = Get32(header + 16);
            entry.packedSize = Get32(header + 20);
            entry.size = Get32(header + 24);
            entry.localHeader = Get32(header + 42);
            entry.unixTime = ExtendedTimestamp(extra);
            found = entry;
        }
        at = next;
    }
    return found;
}

// The entry's data as a file: the packed bytes read from the archive in blocks, inflated
// straight into the caller's buffer, and the CRC and size checked at the end.
class EntryFile final : public postal::PostalFile {
  public:
    EntryFile(std::unique_ptr<postal::PostalFile> archive, const Entry& entry)
        : archive_(std::move(archive)), entry_(entry), packedLeft_(entry.packedSize) {}
    ~EntryFile() override {
        if (inflating_) inflateEnd(&stream_);
    }
    EntryFile(const EntryFile&) = delete;
    EntryFile& operator=(const EntryFile&) = delete;

    bool Start() {
        if (entry_.method == kMethodStored) return true;
        stream_ = z_stream{};
        // Raw deflate: a ZIP entry has no zlib header.
        inflating_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
        input_.resize(kBlockSize);
        return inflating_;
    }

    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (failed_) return -1;
        if (size == 0 || ended_) return 0;
        const std::ptrdiff_t n =
            entry_.method == kMethodStored ? ReadStored(buffer, size) : ReadInflated(buffer, size);
        if (n < 0) {
            failed_ = true;
            return -1;
        }
        crc_ = Crc32(crc_, reinterpret_cast<const unsigned char*>(buffer),
                     static_cast<std::size_t>(n));
        produced_ += static_cast<std::uint64_t>(n);
        if (produced_ > entry_.size ||
            (ended_ && (produced_ != entry_.size || crc_ != entry_.crc))) {
            failed_ = true;
            return -1;
        }
        return n;
    }

    std::optional<std::uint64_t> Size() override { return entry_.size; }

    std::optional<postal::CalendarDate> Date() override {
        if (entry_.unixTime) return postal::LocalDate(*entry_.unixTime);
        // The DOS date: bits 9-15 the year from 1980, 5-8 the month, 0-4 the day.
        return postal::CalendarDate{1980 + (entry_.dosDate >> 9), (entry_.dosDate >> 5) & 0x0F,
                                    entry_.dosDate & 0x1F};
    }

  private:
    // Reads at most `size` packed bytes, fewer at the entry's end.
    std::ptrdiff_t ReadPacked(char* buffer, std::size_t size) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, packedLeft_));
        if (wanted == 0) return 0;
        const std::ptrdiff_t n = archive_->Read(buffer, wanted);
        // A short archive is damaged, not ended.
        if (n <= 0) return -1;
        packedLeft_ -= static_cast<std::uint64_t>(n);
        return n;
    }

    std::ptrdiff_t ReadStored(char* buffer, std::size_t size) {
        const std::ptrdiff_t n = ReadPacked(buffer, size);
        if (packedLeft_ == 0) ended_ = true;
        return n;
    }

    std::ptrdiff_t ReadInflated(char* buffer, std::size_t size) {
        // zlib counts in uInt.
        const std::size_t limit = std::min<std::size_t>(size, 0x40000000u);
        stream_.next_out = reinterpret_cast<Bytef*>(buffer);
        stream_.avail_out = static_cast<uInt>(limit);
        while (stream_.avail_out > 0) {
            if (stream_.avail_in == 0) {
                const std::ptrdiff_t n = ReadPacked(input_.data(), input_.size());
                // The packed data ran out before the deflate stream ended.
                if (n <= 0) return -1;
                stream_.next_in = reinterpret_cast<Bytef*>(input_.data());
                stream_.avail_in = static_cast<uInt>(n);
            }
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END) {
                ended_ = true;
                break;
            }
            if (status != Z_OK) return -1;
        }
        return static_cast<std::ptrdiff_t>(limit - stream_.avail_out);
    }

    std::unique_ptr<postal::PostalFile> archive_;
    Entry entry_;
    std::uint64_t packedLeft_;
    std::uint64_t produced_ = 0;
    std::uint32_t crc_ = 0;
    z_stream stream_{};
    bool inflating_ = false;
    bool ended_ = false;
    bool failed_ = false;
    std::vector<char> input_;
};

}  // namespace

bool IsZipSignature(std::string_view start) {
    return start.size() >= 4 && start[0] == 'P' && start[1] == 'K' &&
           ((start[2] == '\x03' && start[3] == '\x04') ||
            (start[2] == '\x05' && start[3] == '\x06') ||
            (start[2] == '\x07' && start[3] == '\x08'));
}

std::unique_ptr<postal::PostalFile> OpenCsvEntry(std::unique_ptr<postal::PostalFile> archive) {
    const std::optional<std::uint64_t> fileSize = archive->Size();
    if (!fileSize) return nullptr;
    const std::optional<Directory> directory = FindDirectory(*archive, *fileSize);
    if (!directory) return nullptr;
    const std::optional<Entry> entry = FindCsvEntry(*archive, *directory);
    if (!entry || (entry->flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0 ||
        (entry->method != kMethodStored && entry->method != kMethodDeflated) ||
        (entry->method == kMethodStored && entry->packedSize != entry->size) ||
        entry->packedSize == 0xFFFFFFFF || entry->size == 0xFFFFFFFF ||
        entry->localHeader == 0xFFFFFFFF) {
        return nullptr;
    }
    // The data follows the local header, whose name and extra field may differ in length from
    // the central directory's.
    unsigned char local[kLocalHeaderBytes];
    if (!ReadAt(*archive, entry->localHeader, local, sizeof local) ||
        Get32(local) != kLocalHeaderSignature) {
        return nullptr;
    }
    const std::uint64_t data = std::uint64_t{entry->localHeader} + kLocalHeaderBytes +
                               Get16(local + 26) + Get16(local + 28);
    if (data + entry->packedSize > directory->offset || !archive->Seek(data)) return nullptr;
    auto file = std::make_unique<EntryFile>(std::move(archive), *entry);
    if (!file->Start()) return nullptr;
    return file;
}

}  // namespace marupo::zip
