#include "devhost/book.h"

#include <algorithm>
#include <tuple>

namespace marupo::devhost {
namespace {

auto Fields(const Record& r) {
    return std::tie(r.id, r.givenName, r.givenNameReading, r.surname, r.surnameReading, r.title,
                    r.company, r.companyReading, r.postalCode, r.prefecture, r.city, r.street,
                    r.country, r.note, r.category, r.contacts, r.primarySlot, r.customFields,
                    r.privateFlag);
}

}  // namespace

bool Record::operator==(const Record& other) const {
    return Fields(*this) == Fields(other);
}

Book::Book() : categories_{kUnfiledCategory} {}

RecordPtr Book::Find(int id) const {
    auto found = std::find_if(records_.begin(), records_.end(),
                              [id](const RecordPtr& r) { return r->id == id; });
    return found != records_.end() ? *found : nullptr;
}

RecordPtr Book::Add(const std::u16string& category) {
    int next = 1;
    for (const auto& r : records_) next = std::max(next, r->id + 1);
    auto record = std::make_shared<Record>();
    record->id = next;
    record->category = category;
    records_.push_back(record);
    return record;
}

bool Book::Insert(Record record) {
    if (record.id <= 0 || Find(record.id) != nullptr) return false;
    records_.push_back(std::make_shared<Record>(std::move(record)));
    return true;
}

bool Book::HasCategory(const std::u16string& name) const {
    return std::find(categories_.begin(), categories_.end(), name) != categories_.end();
}

void Book::AddCategory(const std::u16string& name) {
    if (!HasCategory(name)) categories_.push_back(name);
}

void Book::SetViewCategory(std::u16string category) {
    viewCategory_ = std::move(category);
    selection_.clear();
}

std::vector<RecordPtr> Book::VisibleRecords() const {
    std::vector<RecordPtr> visible;
    for (const auto& r : records_) {
        if (viewCategory_ != kAllCategories && r->category != viewCategory_) continue;
        if (r->privateFlag == 1 && privateDisplayMode_ != kPrivateRecordsShown) continue;
        visible.push_back(r);
    }
    return visible;
}

bool Book::SetSelection(const std::vector<int>& ids) {
    for (size_t i = 0; i < ids.size(); ++i) {
        if (Find(ids[i]) == nullptr) return false;
        if (std::find(ids.begin(), ids.begin() + static_cast<long>(i), ids[i]) !=
            ids.begin() + static_cast<long>(i)) {
            return false;
        }
    }
    selection_ = ids;
    return true;
}

std::vector<RecordPtr> Book::SelectedRecords() const {
    std::vector<RecordPtr> selected;
    for (int id : selection_) {
        if (auto r = Find(id)) selected.push_back(r);
    }
    return selected;
}

}  // namespace marupo::devhost
