#pragma once
// The stand-in host's address book: records with every property an add-in can reach, the
// categories (the unfiled one always first), the custom-field captions and the state of the
// address view (its category, its ordered selection, the private display mode).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace marupo::devhost {

inline constexpr char16_t kUnfiledCategory[] = u"未分類";
inline constexpr char16_t kAllCategories[] = u"All";
inline constexpr int32_t kPrivateRecordsShown = 3;
inline constexpr int32_t kPrivateRecordsHidden = 1;
inline constexpr int kContactSlots = 5;
inline constexpr int kCustomFields = 4;

struct Contact {
    int32_t label = 0;
    std::u16string text;
    bool operator==(const Contact& other) const {
        return label == other.label && text == other.text;
    }
};

struct Record {
    int id = 0;
    std::u16string givenName, givenNameReading, surname, surnameReading, title, company,
        companyReading, postalCode, prefecture, city, street, country, note, category;
    std::array<Contact, kContactSlots> contacts{{{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}}};
    int32_t primarySlot = 0;
    std::array<std::u16string, kCustomFields> customFields;
    int32_t privateFlag = 0;  // 1 = private

    bool operator==(const Record& other) const;
    bool operator!=(const Record& other) const { return !(*this == other); }
};

// Records are shared so that an object handed to an add-in stays valid while the book changes.
using RecordPtr = std::shared_ptr<Record>;

class Book {
  public:
    Book();

    const std::vector<RecordPtr>& Records() const { return records_; }
    RecordPtr Find(int id) const;
    // Stores a new record with the next free id; the category must be one of the book's.
    RecordPtr Add(const std::u16string& category);
    // Adds a loaded record as it is; false when its id is taken or not positive.
    bool Insert(Record record);

    const std::vector<std::u16string>& Categories() const { return categories_; }
    bool HasCategory(const std::u16string& name) const;
    // Appends a category; the unfiled one stays first whatever the order of calls.
    void AddCategory(const std::u16string& name);

    const std::array<std::u16string, kCustomFields>& CustomLabels() const { return customLabels_; }
    void SetCustomLabel(int index, std::u16string label) {
        customLabels_.at(static_cast<size_t>(index)) = std::move(label);
    }

    const std::u16string& ViewCategory() const { return viewCategory_; }
    // Changing the view drops the selection, as a real view change does.
    void SetViewCategory(std::u16string category);
    // The records the view lists, in book order, leaving out hidden private ones.
    std::vector<RecordPtr> VisibleRecords() const;

    const std::vector<int>& Selection() const { return selection_; }
    // False (and nothing changed) when an id is unknown or repeated.
    bool SetSelection(const std::vector<int>& ids);
    std::vector<RecordPtr> SelectedRecords() const;

    int32_t PrivateDisplayMode() const { return privateDisplayMode_; }
    void SetPrivateDisplayMode(int32_t mode) { privateDisplayMode_ = mode; }

  private:
    std::vector<RecordPtr> records_;
    std::vector<std::u16string> categories_;
    std::array<std::u16string, kCustomFields> customLabels_;
    std::u16string viewCategory_ = kAllCategories;
    std::vector<int> selection_;
    int32_t privateDisplayMode_ = kPrivateRecordsShown;
};

}  // namespace marupo::devhost
