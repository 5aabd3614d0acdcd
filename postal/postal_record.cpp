#include "postal/postal_record.h"

#include <algorithm>
#include <vector>

#include "text/sjis.h"

namespace marupo::postal {
namespace {

// Columns of KEN_ALL.CSV: 2 postal code, 6 prefecture, 7 city, 8 town area.
std::vector<std::size_t> NationwideColumns() {
    return {kNationwideCodeColumn, 6, 7, 8};
}
// Columns of JIGYOSYO.CSV: 3 prefecture, 4 city, 5 town area, 6 sub-area and block number.
std::vector<std::size_t> BusinessColumns() {
    return {3, 4, 5, 6};
}

constexpr std::string_view kOpenParenthesis = "\x81\x69";   // （
constexpr std::string_view kCloseParenthesis = "\x81\x6A";  // ）

}  // namespace

LineColumns::LineColumns(PostalFileKind kind)
    : kind_(kind),
      picker_(kind == PostalFileKind::kNationwide ? NationwideColumns() : BusinessColumns()) {}

void LineColumns::Feed(std::string_view piece) {
    picker_.Feed(piece);
    utf8_.Feed(piece);
}

void LineColumns::Clear() {
    picker_.Clear();
    utf8_ = text::Utf8Detector();
}

std::string LineColumns::Text(std::size_t index) const {
    const std::string& column = picker_.Column(index);
    return utf8_.IsUtf8() ? text::Utf8ToCp932(column) : column;
}

std::string LineColumns::PostalCode() const {
    return kind_ == PostalFileKind::kNationwide ? Text(0) : std::string();
}

std::string LineColumns::Prefecture() const {
    return Text(kind_ == PostalFileKind::kNationwide ? 1 : 0);
}

std::string LineColumns::City() const {
    return Text(kind_ == PostalFileKind::kNationwide ? 2 : 1);
}

std::string LineColumns::TownArea() const {
    if (kind_ == PostalFileKind::kNationwide) return Text(3);
    return Text(2) + Text(3);
}

AddressRecord::AddressRecord(PostalFileKind kind, const LineColumns& firstLine)
    : address_{firstLine.Prefecture(), firstLine.City(), std::string()},
      postalCode_(firstLine.PostalCode()) {
    AddTownArea(firstLine.TownArea());
    // Only the Shift-JIS nationwide file continues its lines.
    open_ = open_ && kind == PostalFileKind::kNationwide && !firstLine.IsUtf8();
}

bool AddressRecord::Continue(const LineColumns& line) {
    if (!open_ || line.IsUtf8() || line.PostalCode() != postalCode_) {
        open_ = false;
        return false;
    }
    ++lines_;
    AddTownArea(line.TownArea());
    return true;
}

void AddressRecord::AddTownArea(std::string_view part) {
    std::string& town = address_.street;
    const std::size_t room = kMaxColumnBytes - std::min(kMaxColumnBytes, town.size());
    const std::string_view kept = text::TruncateToBytes(part, room);
    town.append(kept);
    // Both parentheses are double-byte characters led by 0x81.
    for (std::size_t at = 0; at < kept.size(); at += text::CharLengthAt(kept, at)) {
        if (kept[at] != kOpenParenthesis[0]) continue;
        const std::string_view character = kept.substr(at, 2);
        if (character == kOpenParenthesis) {
            ++depth_;
        } else if (character == kCloseParenthesis && depth_ > 0) {
            --depth_;
        }
    }
    open_ = depth_ > 0 && lines_ < kMaxRecordLines && kept.size() == part.size();
}

}  // namespace marupo::postal
