#pragma once
// Writes ZIP archives in memory for the tests, in the shapes archivers produce: stored or
// deflated entries, in folders, with data descriptors, extended timestamps and comments.

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace marupo::testing {

// The DOS date of a day.
constexpr std::uint16_t DosDate(int year, int month, int day) {
    return static_cast<std::uint16_t>((year - 1980) << 9 | month << 5 | day);
}

struct ZipEntry {
    ZipEntry(std::string entryName, std::string content, std::uint16_t packing = 8,
             std::uint16_t flagBits = 0, std::uint16_t day = DosDate(2025, 4, 30),
             std::optional<std::int32_t> timestamp = std::nullopt)
        : name(std::move(entryName)),
          data(std::move(content)),
          method(packing),
          flags(flagBits),
          dosDate(day),
          unixTime(timestamp) {}

    std::string name;
    std::string data;
    std::uint16_t method;  // 0 stored, 8 deflated; any other is written stored
    std::uint16_t flags;   // bit 3: sizes and CRC in a descriptor behind the data
    std::uint16_t dosDate;
    std::optional<std::int32_t> unixTime;  // an extended timestamp when given
};

inline void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

inline void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline std::string Deflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline std::string MakeZip(const std::vector<ZipEntry>& entries, const std::string& comment = "") {
    std::string archive;
    std::string directory;
    for (const ZipEntry& entry : entries) {
        const std::string packed = entry.method == 8 ? Deflate(entry.data) : entry.data;
        const auto crc =
            static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                             static_cast<uInt>(entry.data.size())));
        std::string extra;
        if (entry.unixTime) {
            Put16(extra, 0x5455);
            Put16(extra, 5);
            extra += '\x01';
            Put32(extra, static_cast<std::uint32_t>(*entry.unixTime));
        }
        const bool descriptor = (entry.flags & 8) != 0;
        const auto offset = static_cast<std::uint32_t>(archive.size());
        std::string common;  // from the version needed to the extra field's length
        Put16(common, 20);
        Put16(common, entry.flags);
        Put16(common, entry.method);
        Put16(common, 0);
        Put16(common, entry.dosDate);
        std::string sizes;
        Put32(sizes, crc);
        Put32(sizes, static_cast<std::uint32_t>(packed.size()));
        Put32(sizes, static_cast<std::uint32_t>(entry.data.size()));
        Put32(archive, 0x04034B50);
        archive += common + (descriptor ? std::string(12, '\0') : sizes);
        Put16(archive, static_cast<unsigned>(entry.name.size()));
        Put16(archive, static_cast<unsigned>(extra.size()));
        archive += entry.name + extra + packed;
        if (descriptor) {
            Put32(archive, 0x08074B50);
            archive += sizes;
        }
        Put32(directory, 0x02014B50);
        Put16(directory, 0x031E);
        directory += common + sizes;
        Put16(directory, static_cast<unsigned>(entry.name.size()));
        Put16(directory, static_cast<unsigned>(extra.size()));
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += entry.name + extra;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<unsigned>(entries.size()));
    Put16(archive, static_cast<unsigned>(entries.size()));
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, static_cast<unsigned>(comment.size()));
    return archive + comment;
}

}  // namespace marupo::testing
