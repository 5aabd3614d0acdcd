// The ZIP reader on archives made here: the shapes archivers write, and the damage and features
// that make an archive unusable.

#include <gtest/gtest.h>

#include "tests/support/memory_file.h"
#include "tests/support/zip_writer.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "zip/crc32.h"
#include "zip/zip_archive.h"

namespace marupo::zip {
namespace {

using testing::DosDate;
using testing::MakeZip;
using testing::ZipEntry;

const std::string kCsv = [] {
    std::string csv;
    for (int i = 0; i < 3000; ++i) csv += "01101,\"060  \",\"06000" + std::to_string(i) + "\"\r\n";
    return csv;
}();

// Sets the 16-bit field at `offset` of the first header with `signature`.
std::function<void(std::string&)> Patch(std::uint32_t signature, std::size_t offset,
                                        std::uint16_t value) {
    return [=](std::string& zip) {
        std::string key;
        testing::Put32(key, signature);
        const std::size_t at = zip.find(key) + offset;
        zip[at] = static_cast<char>(value & 0xFF);
        zip[at + 1] = static_cast<char>(value >> 8);
    };
}

constexpr std::uint32_t kCentral = 0x02014B50;
constexpr std::uint32_t kEnd = 0x06054B50;

enum Expect { kReads, kUnusable, kReadError };

struct ArchiveCase {
    ArchiveCase(const char* caseName, std::vector<ZipEntry> zipEntries,
                std::function<void(std::string&)> damaged, Expect expected,
                postal::CalendarDate entryDate = {2025, 4, 30})
        : name(caseName),
          entries(std::move(zipEntries)),
          damage(std::move(damaged)),
          expect(expected),
          date(entryDate) {}

    const char* name;
    std::vector<ZipEntry> entries;
    std::function<void(std::string&)> damage;
    Expect expect;
    postal::CalendarDate date;
};

void PrintTo(const ArchiveCase& c, std::ostream* os) {
    *os << c.name;
}

const ArchiveCase kArchiveCases[] = {
    {"Deflated", {{"KEN_ALL.CSV", kCsv}}, nullptr, kReads},
    {"Stored", {{"ken_all.csv", kCsv, 0}}, nullptr, kReads},
    {"InAFolderBehindOtherEntries",
     {{"readme.txt", "x"}, {"data/", ""}, {"data/utf_all.csv", kCsv}},
     nullptr,
     kReads},
    {"DataDescriptor", {{"KEN_ALL.CSV", kCsv, 8, 8}}, nullptr, kReads},
    {"ExtendedTimestamp",
     {{"KEN_ALL.CSV", kCsv, 8, 0, DosDate(2020, 1, 1), 1699963200}},  // 2023-11-14 12:00 UTC
     nullptr,
     kReads,
     {2023, 11, 14}},
    {"Commented",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) {
         const std::string comment = "PK\x05\x06 not the end";
         zip[zip.size() - 2] = static_cast<char>(comment.size());
         zip += comment;
     },
     kReads},
    {"EmptyEntry", {{"KEN_ALL.CSV", ""}}, nullptr, kReads},
    {"NoCsvEntry", {{"KEN_ALL.txt", kCsv}}, nullptr, kUnusable},
    {"TwoCsvEntries", {{"a.csv", kCsv}, {"b/B.CSV", kCsv}}, nullptr, kUnusable},
    {"NoEntries", {}, nullptr, kUnusable},
    {"Encrypted", {{"KEN_ALL.CSV", kCsv, 8, 1}}, nullptr, kUnusable},
    {"Bzip2", {{"KEN_ALL.CSV", kCsv, 12}}, nullptr, kUnusable},
    {"Zip64",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) {
         Patch(kEnd, 16, 0xFFFF)(zip);
         Patch(kEnd, 18, 0xFFFF)(zip);
     },
     kUnusable},
    {"Zip64Locator",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) {
         std::string locator;
         testing::Put32(locator, 0x07064B50);
         zip.insert(zip.size() - 22, locator + std::string(16, '\0'));
     },
     kUnusable},
    {"OnTwoDisks", {{"KEN_ALL.CSV", kCsv}}, Patch(kEnd, 4, 1), kUnusable},
    {"CutShort",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) { zip.resize(zip.size() - 30); },
     kUnusable},
    {"CutInTheData",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) { zip.erase(100, 50); },
     kUnusable},
    {"LocalHeaderMissing",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) { zip[0] = 'X'; },
     kUnusable},
    {"DirectoryDamaged", {{"KEN_ALL.CSV", kCsv}}, Patch(kCentral, 28, 0x7FFF), kUnusable},
    {"StoredSizesDiffer", {{"KEN_ALL.CSV", kCsv, 0}}, Patch(kCentral, 24, 1), kUnusable},
    {"CrcMismatch", {{"KEN_ALL.CSV", kCsv}}, Patch(kCentral, 16, 0x1234), kReadError},
    {"StoredCrcMismatch",
     {{"KEN_ALL.CSV", kCsv, 0}},
     [](std::string& zip) { zip[100] ^= 1; },
     kReadError},
    {"DeflateDamaged",
     {{"KEN_ALL.CSV", kCsv}},
     [](std::string& zip) { std::fill(zip.begin() + 60, zip.begin() + 90, '\xFF'); },
     kReadError},
    {"LongerThanItSays", {{"KEN_ALL.CSV", kCsv}}, Patch(kCentral, 24, 100), kReadError},
    {"ShorterThanItSays", {{"KEN_ALL.CSV", kCsv}}, Patch(kCentral, 26, 2), kReadError},
};

class ZipArchiveTest : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(ZipArchiveTest, ReadsTheCsvEntryOrRefusesTheArchive) {
    const ArchiveCase& c = GetParam();
    std::string zip = MakeZip(c.entries);
    if (c.damage) c.damage(zip);
    ASSERT_TRUE(IsZipSignature(zip) || c.expect == kUnusable);
    auto entry = OpenCsvEntry(std::make_unique<testing::MemoryFile>(zip));
    if (c.expect == kUnusable) {
        EXPECT_EQ(entry, nullptr);
        return;
    }
    ASSERT_NE(entry, nullptr);
    // Odd-sized reads, so that lines and blocks never line up.
    std::string read;
    char buffer[997];
    std::ptrdiff_t n = 0;
    while ((n = entry->Read(buffer, sizeof buffer)) > 0) read.append(buffer, n);
    if (c.expect == kReadError) {
        EXPECT_EQ(n, -1);
        EXPECT_EQ(entry->Read(buffer, sizeof buffer), -1);  // and stays failed
        return;
    }
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(read == c.entries.back().data);
    const postal::CalendarDate date = *entry->Date();
    EXPECT_EQ(std::vector<int>({date.year, date.month, date.day}),
              std::vector<int>({c.date.year, c.date.month, c.date.day}));
}

INSTANTIATE_TEST_SUITE_P(Shapes, ZipArchiveTest, ::testing::ValuesIn(kArchiveCases),
                         [](const auto& param) { return std::string(param.param.name); });

// The folding takes 16-byte pieces from 64 bytes on; zlib's table the rest.
TEST(Crc32Test, GivesZlibsCrcForEveryLengthAndAlignment) {
    std::string data;
    for (int i = 0; i < 700; ++i) data += static_cast<char>(i * 7919 % 251);
    for (std::size_t start = 0; start < 3; ++start) {
        for (std::size_t size = 0; start + size <= data.size(); ++size) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(data.data()) + start;
            ASSERT_EQ(Crc32(0x1234, bytes, size), crc32(0x1234, bytes, static_cast<uInt>(size)))
                << start << " " << size;
        }
    }
}

}  // namespace
}  // namespace marupo::zip
