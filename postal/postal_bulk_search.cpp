#include "postal/postal_bulk_search.h"

#include <algorithm>
#include <unordered_set>

#include "postal/postal_record.h"

namespace marupo::postal {
namespace {

// A record whose town area may go on, with the codes whose record it is.
struct PendingRecord {
    AddressRecord record;
    std::vector<std::uint32_t> owners;
};

class BulkSearch {
  public:
    BulkSearch(const std::vector<std::string>& codes, const PostalSettings& settings,
               RecordChoice choice, const AddressSink& sink)
        : settings_(settings), choice_(choice), sink_(sink) {
        for (const std::string& text : codes) {
            std::uint32_t code = 0;
            if (CodeSet::Parse(text, code)) wanted_.Insert(code);
        }
    }

    // The nationwide file for every code, then the business-office file for the codes without a
    // nationwide record. A file that fails settles every code still without a record.
    void Run(const FileOpener& open, std::size_t blockSize) {
        nationwideFailure_ = SearchFile(settings_.nationwideFile, PostalFileKind::kNationwide,
                                        nationwideDelivered_, open, blockSize);
        if (nationwideFailure_ != SearchOutcome::kNotFound) return;
        if (choice_ == RecordChoice::kEvery) {
            // Every record of a code lies in one file.
            for (const std::uint32_t code : nationwideDelivered_) wanted_.Erase(code);
        }
        if (wanted_.Empty()) return;
        businessFailure_ = SearchFile(settings_.businessFile, PostalFileKind::kBusiness,
                                      businessDelivered_, open, blockSize);
    }

    std::vector<SearchOutcome> Outcomes(const std::vector<std::string>& codes) const {
        std::vector<SearchOutcome> outcomes;
        outcomes.reserve(codes.size());
        for (const std::string& text : codes) {
            std::uint32_t code = 0;
            if (!CodeSet::Parse(text, code)) {
                outcomes.push_back(SearchOutcome::kNotFound);
            } else if (Delivered(code)) {
                outcomes.push_back(SearchOutcome::kFound);
            } else if (nationwideFailure_ != SearchOutcome::kNotFound) {
                outcomes.push_back(nationwideFailure_);
            } else {
                outcomes.push_back(businessFailure_);
            }
        }
        return outcomes;
    }

  private:
    // Whether a record went to the sink for `code` and still counts. With kFirst a code leaves
    // the wanted set at its record, so the set itself tells.
    bool Delivered(std::uint32_t code) const {
        if (choice_ == RecordChoice::kFirst) return !wanted_.Contains(code);
        return std::binary_search(nationwideDelivered_.begin(), nationwideDelivered_.end(), code) ||
               std::binary_search(businessDelivered_.begin(), businessDelivered_.end(), code);
    }

    // One file: notFound when it was read through, else how it failed. With kFirst a code found
    // before a read error keeps its record, as a search of its own would have stopped there;
    // with kEvery the error voids the file's records. `delivered` gathers, for kEvery, the codes
    // given records, in ascending order.
    SearchOutcome SearchFile(const std::string& path, PostalFileKind kind,
                             std::vector<std::uint32_t>& delivered, const FileOpener& open,
                             std::size_t blockSize) {
        const bool nationwide = kind == PostalFileKind::kNationwide;
        std::unique_ptr<PostalFile> file = open(path);
        if (!file) {
            return nationwide ? SearchOutcome::kNationwideUnopenable
                              : SearchOutcome::kBusinessUnopenable;
        }
        delivered_ = &delivered;
        if (PassOverFile(*file, kind, wanted_, blockSize) == ScanResult::kReadError) {
            delivered.clear();
            return nationwide ? SearchOutcome::kNationwideUnreadable
                              : SearchOutcome::kBusinessUnreadable;
        }
        std::sort(delivered.begin(), delivered.end());
        return SearchOutcome::kNotFound;
    }

    // One pass over a file for the codes in `wanted`: every record found goes to the sink for the
    // codes it belongs to. With kFirst a code leaves `wanted` at its first line.
    ScanResult PassOverFile(PostalFile& file, PostalFileKind kind, CodeSet& wanted,
                            std::size_t blockSize) {
        LineScanner scanner(file, blockSize);
        std::vector<PendingRecord> pending;
        std::vector<std::uint32_t> codesOnLine;
        std::vector<std::uint32_t> continued;
        std::vector<std::uint32_t> owners;  // of the record the line starts
        LineColumns line(kind);
        while (!(wanted.Empty() && pending.empty())) {
            line.Clear();
            codesOnLine.clear();
            // Lines that may continue a record are read one by one; the others are skipped fast.
            const ScanResult read = pending.empty() ? scanner.FindLine(wanted, line, codesOnLine)
                                                    : scanner.ReadLine(wanted, line, codesOnLine);
            if (read == ScanResult::kReadError) {
                // A record cut off by the error was never delivered.
                for (const PendingRecord& cut : pending) {
                    for (const std::uint32_t code : cut.owners) wanted.Insert(code);
                }
                return read;
            }
            if (read == ScanResult::kNoHit) break;

            continued.clear();
            for (auto it = pending.begin(); it != pending.end();) {
                if (it->record.Continue(line)) {
                    continued.insert(continued.end(), it->owners.begin(), it->owners.end());
                }
                if (it->record.Open()) {
                    ++it;
                } else {
                    Deliver(it->record, kind, it->owners);
                    it = pending.erase(it);
                }
            }

            // A line that continues a code's record starts no record of that code.
            owners.clear();
            for (const std::uint32_t code : codesOnLine) {
                if (choice_ == RecordChoice::kEvery &&
                    (std::find(continued.begin(), continued.end(), code) != continued.end() ||
                     !StartsRecord(code, kind, line))) {
                    continue;
                }
                owners.push_back(code);
                if (choice_ == RecordChoice::kFirst) wanted.Erase(code);
            }
            if (owners.empty()) continue;
            AddressRecord started(kind, line);
            if (started.Open()) {
                pending.push_back(PendingRecord{std::move(started), owners});
            } else {
                Deliver(started, kind, owners);
            }
        }
        for (PendingRecord& done : pending) Deliver(done.record, kind, done.owners);
        return ScanResult::kNoHit;
    }

    // With kEvery: after a code's first line, only lines whose postal-code column is the code
    // start its records.
    bool StartsRecord(std::uint32_t code, PostalFileKind kind, const LineColumns& line) {
        if (!started_.Contains(code)) {
            started_.Insert(code);
            return true;
        }
        std::uint32_t column = 0;
        return kind != PostalFileKind::kNationwide ||
               (CodeSet::Parse(line.PostalCode(), column) && column == code);
    }

    void Deliver(AddressRecord& record, PostalFileKind kind,
                 const std::vector<std::uint32_t>& owners) {
        const PostalAddress address = record.TakeAddress();
        for (const std::uint32_t code : owners) {
            if (choice_ == RecordChoice::kEvery) {
                if (!seen_.insert(Key(code, address)).second) continue;
                delivered_->push_back(code);
            }
            sink_(code, kind, address);
        }
    }

    // What tells a code's records apart.
    static std::string Key(std::uint32_t code, const PostalAddress& address) {
        return std::to_string(code) + '\n' + address.prefecture + '\n' + address.city + '\n' +
               address.street;
    }

    const PostalSettings& settings_;
    RecordChoice choice_;
    const AddressSink& sink_;
    CodeSet wanted_;  // with kFirst, the codes still without a record
    SearchOutcome nationwideFailure_ = SearchOutcome::kNotFound;
    SearchOutcome businessFailure_ = SearchOutcome::kNotFound;
    std::vector<std::uint32_t> nationwideDelivered_;  // with kEvery
    std::vector<std::uint32_t> businessDelivered_;
    std::vector<std::uint32_t>* delivered_ = nullptr;  // of the file being read
    // With kEvery: the codes whose first line has been read, and the records given.
    CodeSet started_;
    std::unordered_set<std::string> seen_;
};

}  // namespace

std::vector<SearchOutcome> SearchPostalFilesAtOnce(const std::vector<std::string>& codes,
                                                   const PostalSettings& settings,
                                                   RecordChoice choice, const AddressSink& sink,
                                                   const FileOpener& open, std::size_t blockSize) {
    BulkSearch search(codes, settings, choice, sink);
    search.Run(open, blockSize);
    return search.Outcomes(codes);
}

}  // namespace marupo::postal
