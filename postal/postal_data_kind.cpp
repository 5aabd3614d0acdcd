#include "postal/postal_data_kind.h"

#include <algorithm>
#include <string_view>

#include "postal/postal_line_scan.h"
#include "postal/postal_record.h"

namespace marupo::postal {
namespace {

constexpr std::size_t kNationwideColumns = 15;
constexpr std::size_t kBusinessColumns = 13;

// Counts a line's columns and keeps the two columns where the files hold the postal code.
class LineShape final : public LineSink {
  public:
    void Feed(std::string_view piece) override {
        columns_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), ','));
        picker_.Feed(piece);
    }

    PostalDataKind Kind() const {
        if (columns_ == kNationwideColumns && IsCode(picker_.Column(0))) {
            return PostalDataKind::kNationwide;
        }
        if (columns_ == kBusinessColumns && IsCode(picker_.Column(1))) {
            return PostalDataKind::kBusiness;
        }
        return PostalDataKind::kOther;
    }

  private:
    static bool IsCode(const std::string& column) {
        std::uint32_t code = 0;
        return CodeSet::Parse(column, code);
    }

    std::size_t columns_ = 1;
    ColumnPicker picker_{{kNationwideCodeColumn, kBusinessCodeColumn}, 16};
};

}  // namespace

PostalDataKind TellPostalDataKind(const std::string& path) {
    std::unique_ptr<PostalFile> file = OpenPlainFile(path);
    if (!file) return PostalDataKind::kUnreadable;
    file = OpenPostalData(std::move(file));
    if (!file) return PostalDataKind::kOther;
    LineScanner scanner(*file);
    PostalDataKind kind = PostalDataKind::kOther;
    for (int line = 0; line < kKindLines; ++line) {
        LineShape shape;
        const ScanResult read = scanner.ReadLine(shape);
        if (read == ScanResult::kReadError) return PostalDataKind::kOther;
        if (read == ScanResult::kNoHit) break;
        if (line > 0 && shape.Kind() != kind) return PostalDataKind::kOther;
        kind = shape.Kind();
    }
    return kind;
}

}  // namespace marupo::postal
