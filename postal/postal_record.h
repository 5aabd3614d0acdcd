#pragma once
// What the search makes of the lines it finds: the address columns of a line, in the system's
// code page whichever edition of the nationwide file holds them, and the whole town area of a
// nationwide record that Japan Post continues over several lines.

#include <cstddef>
#include <string>
#include <string_view>

#include "postal/postal_address.h"
#include "postal/postal_line_scan.h"
#include "text/encoding.h"

namespace marupo::postal {

enum class PostalFileKind { kNationwide, kBusiness };

// Where each file holds the postal code (columns counted from 0).
inline constexpr std::size_t kNationwideCodeColumn = 2;
inline constexpr std::size_t kBusinessCodeColumn = 7;

// The columns of one line that the search takes, picked as the line is fed. A line that is valid
// UTF-8 and holds a byte above 0x7F comes from the UTF-8 edition of the nationwide file: its
// columns are converted to the system's code page (932). Any other line is taken as it stands.
class LineColumns final : public LineSink {
  public:
    explicit LineColumns(PostalFileKind kind);

    void Feed(std::string_view piece) override;
    // Ready for the next line.
    void Clear();

    // Once the whole line has been fed.
    std::string PostalCode() const;  // the nationwide file's postal-code column
    std::string Prefecture() const;
    std::string City() const;
    std::string TownArea() const;  // for the business file: town area and block number joined
    bool IsUtf8() const { return utf8_.IsUtf8(); }

  private:
    std::string Text(std::size_t index) const;

    PostalFileKind kind_;
    ColumnPicker picker_;
    text::Utf8Detector utf8_;
};

// A record continues over this many lines at most, so that a damaged file cannot make the search
// read on without end. Japan Post's longest take a handful.
inline constexpr std::size_t kMaxRecordLines = 100;

// One address record. The Shift-JIS nationwide file cuts a long town area into lines that repeat
// the record's other columns: while the town area holds a full-width parenthesis "（" that it has
// not closed, the Shift-JIS lines right after it that carry the same postal code add their town
// areas. The UTF-8 edition keeps every record on one line, so its lines are never joined. The
// joined town area is capped like a column (kMaxColumnBytes).
class AddressRecord {
  public:
    AddressRecord(PostalFileKind kind, const LineColumns& firstLine);

    // Whether the next line may continue the town area.
    bool Open() const { return open_; }
    // Offers the line after the record's last one while it is open. Returns whether the line
    // continued the record; a line with another code ends it.
    bool Continue(const LineColumns& line);

    // The address, once the record is whole; the record gives it up.
    PostalAddress TakeAddress() { return std::move(address_); }

  private:
    void AddTownArea(std::string_view part);

    PostalAddress address_;
    std::string postalCode_;
    std::size_t lines_ = 1;
    std::size_t depth_ = 0;  // parentheses still open
    bool open_ = false;
};

}  // namespace marupo::postal
