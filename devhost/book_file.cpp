#include "devhost/book_file.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

using TextField = std::u16string Record::*;

const std::map<std::string, TextField>& TextFields() {
    static const std::map<std::string, TextField> fields = {
        {"given-name", &Record::givenName},
        {"given-name-reading", &Record::givenNameReading},
        {"surname", &Record::surname},
        {"surname-reading", &Record::surnameReading},
        {"title", &Record::title},
        {"company", &Record::company},
        {"company-reading", &Record::companyReading},
        {"postal-code", &Record::postalCode},
        {"prefecture", &Record::prefecture},
        {"city", &Record::city},
        {"street", &Record::street},
        {"country", &Record::country},
        {"note", &Record::note},
        {"category", &Record::category},
    };
    return fields;
}

// Written in this order, which is also the order a person fills a card in.
const char* const kTextFieldOrder[] = {
    "category", "surname", "surname-reading", "given-name",  "given-name-reading",
    "title",    "company", "company-reading", "postal-code", "prefecture",
    "city",     "street",  "country",         "note"};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<int32_t> ParseInt(std::string_view s) {
    int32_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

// "contact3-label" -> (3, "-label"); nullopt when the key has no index in range.
std::optional<std::pair<int, std::string_view>> Indexed(std::string_view key,
                                                        std::string_view prefix, int count) {
    if (key.substr(0, prefix.size()) != prefix || key.size() <= prefix.size()) return std::nullopt;
    int index = key[prefix.size()] - '0';
    if (index < 0 || index >= count) return std::nullopt;
    return std::make_pair(index, key.substr(prefix.size() + 1));
}

class Parser {
  public:
    Result<Book> Run(std::string_view text) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        size_t start = 0;
        while (start <= text.size() && failure_.Ok()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++line_;
            Line(Trim(text.substr(start, end - start)));
            start = end + 1;
        }
        if (failure_.Ok()) Finish();
        if (!failure_.Ok()) return failure_;
        return std::move(book_);
    }

  private:
    void Fail(const std::string& message) {
        if (failure_.Ok())
            failure_ = Status::Failure("line " + std::to_string(line_) + ": " + message);
    }

    void Line(std::string_view line) {
        if (line.empty() || line.front() == '#') return;
        if (line.front() == '[') return Header(line);
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) return Fail("expected `key = value`");
        std::string key(Trim(line.substr(0, eq)));
        auto value = UnescapeValue(Trim(line.substr(eq + 1)));
        if (!value) return Fail("malformed value (bad escape or UTF-8)");
        if (section_ == Section::kNone) return Fail("value outside a [book] or [record] section");
        if (section_ == Section::kBook) return BookValue(key, *value, Trim(line.substr(eq + 1)));
        RecordValue(key, *value, Trim(line.substr(eq + 1)));
    }

    void Header(std::string_view line) {
        FlushRecord();
        if (line == "[book]") {
            section_ = Section::kBook;
            return;
        }
        if (line.substr(0, 8) == "[record " && line.back() == ']') {
            auto id = ParseInt(Trim(line.substr(8, line.size() - 9)));
            if (!id || *id <= 0) return Fail("record id must be a positive number");
            record_ = Record{};
            record_->id = *id;
            record_->category = kUnfiledCategory;
            recordLine_ = line_;
            section_ = Section::kRecord;
            return;
        }
        Fail("unknown section " + std::string(line));
    }

    void BookValue(const std::string& key, const std::u16string& value, std::string_view raw) {
        if (key == "category") {
            if (value.empty() || value == kAllCategories) return Fail("invalid category name");
            return book_.AddCategory(value);
        }
        if (auto slot = Indexed(key, "custom-label", kCustomFields); slot && slot->second.empty()) {
            return book_.SetCustomLabel(slot->first, value);
        }
        if (key == "view") {
            view_ = value;
            viewLine_ = line_;
            return;
        }
        if (key == "selection") {
            selection_.clear();
            selectionLine_ = line_;
            std::istringstream ids{std::string(raw)};
            std::string id;
            while (ids >> id) {
                auto number = ParseInt(id);
                if (!number) return Fail("selection lists record ids");
                selection_.push_back(*number);
            }
            return;
        }
        if (key == "private-mode") {
            auto mode = ParseInt(raw);
            if (!mode) return Fail("private-mode must be a number");
            return book_.SetPrivateDisplayMode(*mode);
        }
        Fail("unknown book key `" + key + "`");
    }

    void RecordValue(const std::string& key, const std::u16string& value, std::string_view raw) {
        Record& r = *record_;
        if (auto field = TextFields().find(key); field != TextFields().end()) {
            r.*(field->second) = value;
            return;
        }
        if (auto slot = Indexed(key, "contact", kContactSlots)) {
            if (slot->second.empty()) {
                r.contacts[static_cast<size_t>(slot->first)].text = value;
                return;
            }
            if (slot->second == "-label") {
                auto label = ParseInt(raw);
                if (!label) return Fail("contact label must be a number");
                r.contacts[static_cast<size_t>(slot->first)].label = *label;
                return;
            }
        }
        if (auto slot = Indexed(key, "custom", kCustomFields); slot && slot->second.empty()) {
            r.customFields[static_cast<size_t>(slot->first)] = value;
            return;
        }
        if (key == "primary" || key == "private") {
            auto number = ParseInt(raw);
            if (!number) return Fail(key + " must be a number");
            if (key == "primary" && (*number < 0 || *number >= kContactSlots)) {
                return Fail("primary must be a slot 0..4");
            }
            (key == "primary" ? r.primarySlot : r.privateFlag) = *number;
            return;
        }
        Fail("unknown record key `" + key + "`");
    }

    void FlushRecord() {
        if (!record_) return;
        int line = line_;
        line_ = recordLine_;
        if (!book_.HasCategory(record_->category)) {
            Fail("record " + std::to_string(record_->id) + " names an unknown category `" +
                 ToUtf8(record_->category) + "`");
        } else if (!book_.Insert(std::move(*record_))) {
            Fail("record id used twice");
        }
        line_ = line;
        record_.reset();
    }

    void Finish() {
        FlushRecord();
        if (!failure_.Ok()) return;
        if (view_ != kAllCategories && !book_.HasCategory(view_)) {
            line_ = viewLine_;
            return Fail("view names an unknown category `" + ToUtf8(view_) + "`");
        }
        book_.SetViewCategory(view_);
        if (!book_.SetSelection(selection_)) {
            line_ = selectionLine_;
            Fail("selection names an unknown or repeated record id");
        }
    }

    enum class Section { kNone, kBook, kRecord };
    Book book_;
    Section section_ = Section::kNone;
    std::optional<Record> record_;
    std::u16string view_ = kAllCategories;
    std::vector<int> selection_;
    int line_ = 0, recordLine_ = 0, viewLine_ = 0, selectionLine_ = 0;
    Status failure_;  // the first failure
};

void Put(std::string& out, std::string_view key, std::u16string_view value) {
    out.append(key).append(" = ").append(EscapeValue(value)).append("\n");
}

void PutNumber(std::string& out, std::string_view key, int32_t value) {
    out.append(key).append(" = ").append(std::to_string(value)).append("\n");
}

}  // namespace

Result<Book> ParseBook(std::string_view utf8) {
    return Parser().Run(utf8);
}

std::string FormatBook(const Book& book) {
    std::string out = "[book]\n";
    for (const auto& category : book.Categories()) Put(out, "category", category);
    for (int i = 0; i < kCustomFields; ++i) {
        Put(out, "custom-label" + std::to_string(i), book.CustomLabels()[static_cast<size_t>(i)]);
    }
    Put(out, "view", book.ViewCategory());
    out += "selection =";
    for (int id : book.Selection()) out += " " + std::to_string(id);
    out += "\n";
    PutNumber(out, "private-mode", book.PrivateDisplayMode());
    for (const auto& r : book.Records()) {
        out += "\n[record " + std::to_string(r->id) + "]\n";
        for (const char* key : kTextFieldOrder) Put(out, key, (*r).*(TextFields().at(key)));
        for (int i = 0; i < kContactSlots; ++i) {
            const Contact& c = r->contacts[static_cast<size_t>(i)];
            PutNumber(out, "contact" + std::to_string(i) + "-label", c.label);
            Put(out, "contact" + std::to_string(i), c.text);
        }
        PutNumber(out, "primary", r->primarySlot);
        for (int i = 0; i < kCustomFields; ++i) {
            Put(out, "custom" + std::to_string(i), r->customFields[static_cast<size_t>(i)]);
        }
        PutNumber(out, "private", r->privateFlag);
    }
    return out;
}

Result<Book> LoadBookFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) return Status::Failure(path + ": cannot open");
    std::ostringstream content;
    content << in.rdbuf();
    auto result = ParseBook(content.str());
    if (!result.Ok()) return result.GetStatus().Prefixed(path + ": ");
    return result;
}

Status SaveBookFile(const Book& book, const std::string& path) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out << FormatBook(book);
    out.close();
    return Check(static_cast<bool>(out), path + ": cannot write");
}

}  // namespace marupo::devhost
