#include "tools/lookup_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "postal/postal_bulk_search.h"
#include "postal/postal_code.h"
#include "postal/postal_data_date.h"
#include "text/encoding.h"
#include "text/sjis.h"

namespace marupo::lookup {
namespace {

constexpr char kInvalidCode[] = "郵便番号が不正です";
constexpr char kNotFound[] = "郵便番号が見つかりませんでした。";
constexpr char kNationwideUnopenable[] = "CSVファイル1のオープンに失敗しました";
constexpr char kBusinessUnopenable[] = "CSVファイル2のオープンに失敗しました";

// A line of standard input longer than this cannot be a postal code; only its start is kept
// (for the message), so memory stays bounded whatever the input.
constexpr std::size_t kMaxInputLine = 256;

// Prints result lines and messages in order. Result lines are gathered and written together;
// they all go out before a message, so that a terminal shows both streams in order.
class Printer {
  public:
    Printer(ResultOutput& out, std::FILE* err) : out_(out), err_(err) {}
    ~Printer() { Flush(); }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // `address`: prefecture, city and street, tab-separated, in UTF-8 with a line feed.
    void Result(const std::string& digits, std::string_view address) {
        pending_ += digits;
        pending_ += '\t';
        pending_ += address;
        if (pending_.size() >= kFlushBytes) Flush();
    }

    void Message(const TypedCode& code, const char* message) {
        Flush();
        out_.Flush();
        // The code as given, whatever bytes it holds.
        std::fwrite(code.utf8.data(), 1, code.utf8.size(), err_);
        std::fprintf(err_, ": %s\n", message);
    }

  private:
    static constexpr std::size_t kFlushBytes = 16 * 1024;

    void Flush() {
        out_.Write(pending_);
        pending_.clear();
    }

    ResultOutput& out_;
    std::FILE* err_;
    std::string pending_;
};

// Appends a part of an address and the separator behind it. A damaged file can leave a lead byte
// without its trail at the end of a part; it becomes "?", so that the conversion, which would
// take the separator for its trail, keeps the lines and columns apart.
void AppendPart(std::string& lines, const std::string& part, char separator) {
    const bool cut = !part.empty() && text::IsLeadByte(static_cast<unsigned char>(part.back())) &&
                     text::IsCharBoundary(part, part.size() - 1);
    lines.append(part, 0, part.size() - (cut ? 1 : 0));
    if (cut) lines += '?';
    lines += separator;
}

// Appends the address as a line of output, still in Shift-JIS.
void AppendAddress(std::string& lines, const PostalAddress& address) {
    AppendPart(lines, address.prefecture, '\t');
    AppendPart(lines, address.city, '\t');
    AppendPart(lines, address.street, '\n');
}

// The addresses found for many codes, as lines of output: gathered in Shift-JIS as the search
// finds them, converted to UTF-8 in one go, then taken code by code.
class FoundAddresses {
  public:
    // Room for about `expected` addresses, so that the lines are not copied as they grow.
    explicit FoundAddresses(std::size_t expected) {
        keys_.reserve(expected);
        lines_.reserve(expected * kTypicalLineBytes);
    }

    void Add(std::uint32_t code, const PostalAddress& address) {
        keys_.push_back(std::uint64_t{code} << 32 | keys_.size());
        AppendAddress(lines_, address);
    }

    // Once all are in: converts them and sorts them by code, in the file's order within a code.
    void Finish() {
        lines_ = text::Cp932ToUtf8(lines_);
        starts_.assign(1, 0);
        for (std::size_t at = lines_.find('\n'); at != std::string::npos;
             at = lines_.find('\n', at + 1)) {
            starts_.push_back(at + 1);
        }
        std::sort(keys_.begin(), keys_.end());
    }

    // Calls `print` with each line found for `code`.
    template <typename Print>
    void ForEach(std::uint32_t code, const Print& print) const {
        for (std::size_t at = FirstOf(code); at < keys_.size() && keys_[at] >> 32 == code; ++at) {
            const std::size_t line = keys_[at] & 0xFFFFFFFFu;
            print(
                std::string_view(lines_).substr(starts_[line], starts_[line + 1] - starts_[line]));
        }
    }

  private:
    static constexpr std::size_t kTypicalLineBytes = 48;

    // The first key of `code`. The codes come in no order, so the halving avoids branches that
    // the processor would guess wrong half the time.
    std::size_t FirstOf(std::uint32_t code) const {
        if (keys_.empty()) return 0;
        const std::uint64_t key = std::uint64_t{code} << 32;
        const std::uint64_t* base = keys_.data();
        for (std::size_t n = keys_.size(); n > 1; n -= n / 2) {
            base = base[n / 2] < key ? base + n / 2 : base;
        }
        return static_cast<std::size_t>(base - keys_.data()) + (*base < key ? 1 : 0);
    }

    std::vector<std::uint64_t> keys_;  // code, then the line's number in the order found
    std::string lines_;
    std::vector<std::size_t> starts_;  // where each line begins, and the end
};

bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::optional<std::string>& target, std::string& error) {
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
        target = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = "option '" + name + "' requires an argument";
        return false;
    }
    target = args[++i];
    return true;
}

bool HasPrefix(const std::string& arg, const std::string& name) {
    return arg == name || arg.compare(0, name.size() + 1, name + "=") == 0;
}

// Reads one line into `line`, keeping at most kMaxInputLine bytes; a NUL byte is kept like any
// other. Byte by byte, so that a line typed at a terminal is answered at once. False at the end
// of input.
bool ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    int c = std::getc(in);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::getc(in)) {
        if (line.size() < kMaxInputLine) line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool onlyCodes = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyCodes || arg.empty() || arg[0] != '-' || arg == "-") {
            options.codes.push_back(arg);
        } else if (arg == "--") {
            onlyCodes = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--div-city") {
            options.divCity = true;
        } else if (arg == "--all") {
            options.everyRecord = true;
        } else if (arg == "--raw") {
            options.raw = true;
        } else if (HasPrefix(arg, "--nationwide")) {
            if (!TakeValue(args, i, "--nationwide", options.nationwideFile, error)) return false;
        } else if (HasPrefix(arg, "--business")) {
            if (!TakeValue(args, i, "--business", options.businessFile, error)) return false;
        } else if (arg.size() >= 2 && arg[1] >= '0' && arg[1] <= '9') {
            // "-1234567" is not an option; let the validation speak about it.
            options.codes.push_back(arg);
        } else {
            error = "unrecognized option '" + arg + "'";
            return false;
        }
    }
    return true;
}

void PrintHelp(std::FILE* out) {
    std::fputs(
        "Usage: marupo-lookup [OPTION]... [CODE]...\n"
        "Look Japanese postal codes up in Japan Post's postal-code files, as the Marupo\n"
        "address editor does.\n"
        "\n"
        "Each CODE is validated as the editor does (seven digits, optionally with one\n"
        "hyphen or blank among them). With no CODE, codes are read from standard input,\n"
        "one per line. Many codes are looked up together, in one pass over each file.\n"
        "\n"
        "  --nationwide FILE  the nationwide file: utf_ken_all.zip, the UTF-8 edition\n"
        "                     with one line per record, or ken_all.zip, or the CSV\n"
        "                     file either unpacks to (utf_all.csv, KEN_ALL.CSV)\n"
        "  --business FILE    the business-office file (jigyosyo.zip, JIGYOSYO.CSV)\n"
        "  --div-city         move the ward of a designated city to the front of the\n"
        "                     street (札幌市中央区 -> 札幌市 + 中央区...)\n"
        "  --all              every record of the code, not only the first one: that\n"
        "                     one, then the others in file order, each once\n"
        "  --raw              town areas as the file has them, with Japan Post's notes\n"
        "                     (such as （その他） or （１～１９丁目）) left in\n"
        "  -h, --help         display this help and exit\n"
        "\n"
#ifdef _WIN32
        "Settings not given as options are taken from the add-in's settings in the\n"
        "registry (HKEY_CURRENT_USER\\SOFTWARE\\Orlenta\\Marupo).\n"
#else
        "Without options, KEN_ALL.CSV and JIGYOSYO.CSV in the current directory are used.\n"
#endif
        "\n"
        "For each code found, one line (with --all one per record) goes to standard\n"
        "output in UTF-8:\n"
        "  CODE7<TAB>prefecture<TAB>city<TAB>street\n"
        "Codes that are invalid or not found, and files that cannot be opened, are\n"
        "reported on standard error, each line starting with the code as given; after\n"
        "the first code in neither file, a line naming the month of nationwide data\n"
        "over six months old.\n"
        "\n"
        "Exit status is 0 if every code was found, 1 otherwise or when the results\n"
        "cannot be written, 2 on a usage error.\n",
        out);
}

void ResultOutput::Write(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail();
}

void ResultOutput::Flush() {
    if (!failed_ && std::fflush(file_) != 0) Fail();
}

void ResultOutput::Fail() {
    failed_ = true;
    error_ = errno;
}

std::unique_ptr<postal::PostalFile> PassOpener::operator()(const std::string& path) {
    const auto has = [&path](const std::vector<std::string>& paths) {
        return std::find(paths.begin(), paths.end(), path) != paths.end();
    };
    if (has(readOnce_)) {
        if (!has(refused_)) {
            refused_.push_back(path);
            out_.Flush();
            std::fprintf(err_,
                         "marupo-lookup: %s is a pipe, which can be read only once: the codes "
                         "after the first %s cannot be looked up in it\n",
                         path.c_str(), std::to_string(kCodesPerPass).c_str());
        }
        return nullptr;
    }
    std::unique_ptr<postal::PostalFile> file = postal::OpenPostalFile(path);
    if (file && !file->ReadableAgain()) readOnce_.push_back(path);
    return file;
}

bool LookUpCodes(const std::vector<TypedCode>& codes, const PostalSettings& settings,
                 Printing printing, ResultOutput& out, std::FILE* err, PassOpener& open) {
    // The seven digits of each valid code; empty for an invalid one, which is not looked up.
    std::vector<std::string> digits(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (!NormalizePostalCode(codes[i].cp932, digits[i])) digits[i].clear();
    }
    const auto first =
        std::find_if(digits.begin(), digits.end(), [](const std::string& d) { return !d.empty(); });
    // One code, however often given, is searched as the editor searches it.
    const bool single = !printing.everyRecord && !printing.raw && first != digits.end() &&
                        std::all_of(first, digits.end(),
                                    [&](const std::string& d) { return d.empty() || d == *first; });
    std::vector<postal::SearchOutcome> outcomes(codes.size(), postal::SearchOutcome::kNotFound);
    FoundAddresses found(codes.size());
    if (single) {
        PostalAddress address;
        const postal::SearchOutcome outcome =
            postal::SearchPostalFiles(*first, settings, address, std::ref(open));
        std::fill(outcomes.begin(), outcomes.end(), outcome);
        std::uint32_t code = 0;
        postal::CodeSet::Parse(*first, code);
        if (outcome == postal::SearchOutcome::kFound) found.Add(code, address);
    } else if (first != digits.end()) {
        outcomes = postal::SearchPostalFilesAtOnce(
            digits, settings,
            printing.everyRecord ? postal::RecordChoice::kEvery : postal::RecordChoice::kFirst,
            [&](std::uint32_t code, postal::PostalFileKind kind, PostalAddress record) {
                if (!printing.raw) {
                    postal::FinishAddress(record, kind, settings);
                } else if (settings.divCity == 1) {
                    postal::SplitDesignatedCity(record);
                }
                found.Add(code, record);
            },
            std::ref(open));
    }
    found.Finish();

    // Said once, after the first code that both files were read for in vain.
    std::string oldDataHint;
    if (std::find(outcomes.begin(), outcomes.end(), postal::SearchOutcome::kNotFound) !=
        outcomes.end()) {
        oldDataHint = postal::OldDataHint(settings, postal::Today());
    }

    Printer printer(out, err);
    bool allFound = true;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (digits[i].empty()) {
            printer.Message(codes[i], kInvalidCode);
            allFound = false;
            continue;
        }
        const char* secondLine = nullptr;
        switch (outcomes[i]) {
            case postal::SearchOutcome::kFound: {
                std::uint32_t code = 0;
                postal::CodeSet::Parse(digits[i], code);
                found.ForEach(code,
                              [&](std::string_view line) { printer.Result(digits[i], line); });
                continue;
            }
            case postal::SearchOutcome::kNotFound:
                if (!oldDataHint.empty()) secondLine = oldDataHint.c_str();
                break;
            case postal::SearchOutcome::kNationwideUnopenable:
            case postal::SearchOutcome::kNationwideUnreadable:
                printer.Message(codes[i], kNationwideUnopenable);
                break;
            case postal::SearchOutcome::kBusinessUnopenable:
            case postal::SearchOutcome::kBusinessUnreadable:
                printer.Message(codes[i], kBusinessUnopenable);
                break;
        }
        printer.Message(codes[i], kNotFound);
        if (secondLine != nullptr) {
            printer.Message(codes[i], secondLine);
            oldDataHint.clear();
        }
        allFound = false;
    }
    return allFound;
}

bool LookUpLines(std::FILE* in, const PostalSettings& settings, Printing printing,
                 std::size_t perPass, ResultOutput& out, std::FILE* err) {
    bool allFound = true;
    PassOpener open(out, err);
    std::vector<TypedCode> codes;
    // Room for a whole pass at once: memory is only taken as codes arrive, and never copied.
    codes.reserve(perPass);
    std::string line;
    bool more = ReadLine(in, line);
    // Notepad used to start a UTF-8 file with a byte-order mark.
    if (line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        line.erase(0, kByteOrderMark.size());
    }
    const auto lookUp = [&] {
        if (!LookUpCodes(codes, settings, printing, out, err, open)) allFound = false;
        codes.clear();
    };
    for (; more && !out.Failed(); more = ReadLine(in, line)) {
        if (!line.empty()) codes.push_back(TypedCode{line, text::Utf8ToCp932(line)});
        if (codes.size() >= perPass) lookUp();
    }
    if (!codes.empty() && !out.Failed()) lookUp();
    return allFound;
}

}  // namespace marupo::lookup
