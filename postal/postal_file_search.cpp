#include "postal/postal_file_search.h"

#include "postal/postal_bulk_search.h"
#include "postal/town_area_notes.h"
#include "text/sjis.h"

namespace marupo::postal {
namespace {

constexpr char kShi[] = "\x8E\x73";  // 市

// City names with 市 before their end that are not designated cities with wards.
constexpr std::string_view kUndividedCities[] = {
    "\x8E\x6C\x93\xFA\x8E\x73\x8E\x73",  // 四日市市
    "\x93\xF9\x93\xFA\x8E\x73\x8E\x73",  // 廿日市市
    "\x8E\x73\x8C\xB4\x8E\x73",          // 市原市
    "\x8E\x73\x90\xEC\x8E\x73",          // 市川市
    "\x8D\xA1\x8E\x73\x8E\x73",          // 今市市
};

enum class FileScan { kHit, kNoHit, kUnopenable, kUnreadable };

// The first record of the file at `path` whose first line holds `code`.
FileScan FindFirstRecord(const std::string& path, PostalFileKind kind, std::string_view code,
                         PostalAddress& address, const FileOpener& open, std::size_t blockSize) {
    std::unique_ptr<PostalFile> file = open(path);
    if (!file) return FileScan::kUnopenable;
    LineScanner scanner(*file, blockSize);
    LineColumns first(kind);
    switch (scanner.FindLine(code, first)) {
        case ScanResult::kHit:
            break;
        case ScanResult::kNoHit:
            return FileScan::kNoHit;
        case ScanResult::kReadError:
            return FileScan::kUnreadable;
    }
    AddressRecord record(kind, first);
    LineColumns next(kind);
    while (record.Open()) {
        next.Clear();
        const ScanResult read = scanner.ReadLine(next);
        if (read == ScanResult::kReadError) return FileScan::kUnreadable;
        if (read == ScanResult::kNoHit) break;
        record.Continue(next);
    }
    address = record.TakeAddress();
    return FileScan::kHit;
}

}  // namespace

SearchOutcome SearchPostalFiles(std::string_view code, const PostalSettings& settings,
                                PostalAddress& result, const FileOpener& open,
                                std::size_t blockSize) {
    result = PostalAddress{};
    PostalFileKind kind = PostalFileKind::kNationwide;
    switch (FindFirstRecord(settings.nationwideFile, kind, code, result, open, blockSize)) {
        case FileScan::kUnopenable:
            return SearchOutcome::kNationwideUnopenable;
        case FileScan::kUnreadable:
            return SearchOutcome::kNationwideUnreadable;
        case FileScan::kHit:
            break;
        case FileScan::kNoHit:
            kind = PostalFileKind::kBusiness;
            switch (FindFirstRecord(settings.businessFile, kind, code, result, open, blockSize)) {
                case FileScan::kUnopenable:
                    return SearchOutcome::kBusinessUnopenable;
                case FileScan::kUnreadable:
                    return SearchOutcome::kBusinessUnreadable;
                case FileScan::kNoHit:
                    return SearchOutcome::kNotFound;
                case FileScan::kHit:
                    break;
            }
            break;
    }
    FinishAddress(result, kind, settings);
    return SearchOutcome::kFound;
}

SearchOutcome SearchEveryRecord(std::string_view code, const PostalSettings& settings,
                                PostalRecords& result, const FileOpener& open,
                                std::size_t blockSize) {
    result = PostalRecords{};
    const std::vector<SearchOutcome> outcome = SearchPostalFilesAtOnce(
        {std::string(code)}, settings, RecordChoice::kEvery,
        [&result](std::uint32_t, PostalFileKind kind, const PostalAddress& record) {
            result.kind = kind;
            result.records.push_back(record);
        },
        open, blockSize);
    if (outcome.front() != SearchOutcome::kFound) result.records.clear();
    return outcome.front();
}

void FinishAddress(PostalAddress& address, PostalFileKind kind, const PostalSettings& settings) {
    // The notes go before the split, so a ward moved in front is never followed by one.
    if (kind == PostalFileKind::kNationwide) {
        address.street = TakeNotesOut(address.street, address.city);
    } else {
        RemoveNoTownArea(address);
    }
    if (settings.divCity == 1) SplitDesignatedCity(address);
}

void RemoveNoTownArea(PostalAddress& address) {
    if (address.street == kNoTownArea) address.street.clear();
}

void SplitDesignatedCity(PostalAddress& address) {
    for (std::string_view name : kUndividedCities) {
        if (address.city == name) return;
    }
    const std::size_t shi = text::FindCharWise(address.city, kShi);
    if (shi == std::string::npos || shi == 0) return;
    const std::size_t wardStart = shi + text::CharLengthAt(address.city, shi);
    if (wardStart >= address.city.size()) return;
    address.street.insert(0, address.city, wardStart, std::string::npos);
    address.city.erase(wardStart);
}

}  // namespace marupo::postal
