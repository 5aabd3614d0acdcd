#include "postal/postal_file_search.h"

#include "text/sjis.h"

namespace marupo::postal {
namespace {

// Columns of KEN_ALL.CSV: 6 prefecture, 7 city, 8 town area.
constexpr std::size_t kNationwideFirstColumn = 6;
// Columns of JIGYOSYO.CSV: 3 prefecture, 4 city, 5 town area, 6 sub-area and block number.
constexpr std::size_t kBusinessFirstColumn = 3;

constexpr char kShi[] = "\x8E\x73";  // 市

// City names with 市 before their end that are not designated cities with wards.
constexpr std::string_view kUndividedCities[] = {
    "\x8E\x6C\x93\xFA\x8E\x73\x8E\x73",  // 四日市市
    "\x93\xF9\x93\xFA\x8E\x73\x8E\x73",  // 廿日市市
    "\x8E\x73\x8C\xB4\x8E\x73",          // 市原市
    "\x8E\x73\x90\xEC\x8E\x73",          // 市川市
    "\x8D\xA1\x8E\x73\x8E\x73",          // 今市市
};

enum class FileScan { hit, noHit, unopenable, unreadable };

FileScan ScanFile(const std::string& path, std::string_view code, ColumnPicker& picker,
                  const FileOpener& open, std::size_t blockSize) {
    std::unique_ptr<PostalFile> file = open(path);
    if (!file) return FileScan::unopenable;
    switch (ScanForFirstLine(*file, code, picker, blockSize)) {
        case ScanResult::hit:
            return FileScan::hit;
        case ScanResult::noHit:
            return FileScan::noHit;
        case ScanResult::readError:
            break;
    }
    return FileScan::unreadable;
}

}  // namespace

SearchOutcome SearchPostalFiles(std::string_view code, const PostalSettings& settings,
                                PostalAddress& result, const FileOpener& open,
                                std::size_t blockSize) {
    result = PostalAddress{};

    ColumnPicker nationwide(kNationwideFirstColumn, 3);
    switch (ScanFile(settings.nationwideFile, code, nationwide, open, blockSize)) {
        case FileScan::unopenable:
            return SearchOutcome::nationwideUnopenable;
        case FileScan::unreadable:
            return SearchOutcome::nationwideUnreadable;
        case FileScan::hit:
            result.prefecture = nationwide.Column(0);
            result.city = nationwide.Column(1);
            result.street = nationwide.Column(2);
            break;
        case FileScan::noHit: {
            ColumnPicker business(kBusinessFirstColumn, 4);
            switch (ScanFile(settings.businessFile, code, business, open, blockSize)) {
                case FileScan::unopenable:
                    return SearchOutcome::businessUnopenable;
                case FileScan::unreadable:
                    return SearchOutcome::businessUnreadable;
                case FileScan::noHit:
                    return SearchOutcome::notFound;
                case FileScan::hit:
                    result.prefecture = business.Column(0);
                    result.city = business.Column(1);
                    result.street = business.Column(2) + business.Column(3);
                    break;
            }
            break;
        }
    }

    // The placeholder goes before the split, so a ward moved in front is never followed by it.
    RemoveNoTownArea(result);
    if (settings.divCity == 1) SplitDesignatedCity(result);
    return SearchOutcome::found;
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
