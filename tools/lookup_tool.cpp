#include "tools/lookup_tool.h"

#include <algorithm>
#include <cstring>

#include "postal/postal_code.h"
#include "postal/postal_file_search.h"
#include "text/encoding.h"

namespace marupo::lookup {
namespace {

constexpr char kInvalidCode[] = "郵便番号が不正です";
constexpr char kNotFound[] = "郵便番号が見つかりませんでした。";
constexpr char kNationwideUnopenable[] = "CSVファイル1のオープンに失敗しました";
constexpr char kBusinessUnopenable[] = "CSVファイル2のオープンに失敗しました";

// A line of standard input longer than this cannot be a postal code; only its start is kept
// (for the message), so memory stays bounded whatever the input.
constexpr std::size_t kMaxInputLine = 256;

// Results already printed go out first, so that a terminal shows both streams in order.
void Report(std::FILE* out, std::FILE* err, const TypedCode& code, const char* message) {
    std::fflush(out);
    std::fprintf(err, "%s: %s\n", code.utf8.c_str(), message);
}

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

// Reads one line into `line`, keeping at most kMaxInputLine bytes. False at the end of input.
bool ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    char chunk[512];
    bool any = false;
    while (std::fgets(chunk, sizeof chunk, in) != nullptr) {
        any = true;
        std::size_t length = std::strlen(chunk);
        const bool complete = length > 0 && chunk[length - 1] == '\n';
        if (complete) --length;
        if (line.size() < kMaxInputLine) {
            line.append(chunk, std::min(length, kMaxInputLine - line.size()));
        }
        if (complete) break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

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
        "one per line.\n"
        "\n"
        "  --nationwide FILE  the nationwide file (KEN_ALL.CSV)\n"
        "  --business FILE    the business-office file (JIGYOSYO.CSV)\n"
        "  --div-city         move the ward of a designated city to the front of the\n"
        "                     street (札幌市中央区 -> 札幌市 + 中央区...)\n"
        "  -h, --help         display this help and exit\n"
        "\n"
#ifdef _WIN32
        "Settings not given as options are taken from the add-in's settings in the\n"
        "registry (HKEY_CURRENT_USER\\SOFTWARE\\Orlenta\\Marupo).\n"
#else
        "Without options, KEN_ALL.CSV and JIGYOSYO.CSV in the current directory are used.\n"
#endif
        "\n"
        "For each code found, one line goes to standard output in UTF-8:\n"
        "  CODE7<TAB>prefecture<TAB>city<TAB>street\n"
        "Codes that are invalid or not found, and files that cannot be opened, are\n"
        "reported on standard error, each line starting with the code as given.\n"
        "\n"
        "Exit status is 0 if every code was found, 1 otherwise, 2 on a usage error.\n",
        out);
}

bool LookUp(const TypedCode& code, const PostalSettings& settings, std::FILE* out, std::FILE* err) {
    std::string digits;
    if (!NormalizePostalCode(code.cp932, digits)) {
        Report(out, err, code, kInvalidCode);
        return false;
    }
    PostalAddress address;
    switch (postal::SearchPostalFiles(digits, settings, address)) {
        case postal::SearchOutcome::found: {
            const std::string line = digits + '\t' + address.prefecture + '\t' + address.city +
                                     '\t' + address.street + '\n';
            const std::string utf8 = text::Cp932ToUtf8(line);
            std::fwrite(utf8.data(), 1, utf8.size(), out);
            return true;
        }
        case postal::SearchOutcome::notFound:
            break;
        case postal::SearchOutcome::nationwideUnopenable:
        case postal::SearchOutcome::nationwideUnreadable:
            Report(out, err, code, kNationwideUnopenable);
            break;
        case postal::SearchOutcome::businessUnopenable:
        case postal::SearchOutcome::businessUnreadable:
            Report(out, err, code, kBusinessUnopenable);
            break;
    }
    Report(out, err, code, kNotFound);
    return false;
}

bool LookUpLines(std::FILE* in, const PostalSettings& settings, std::FILE* out, std::FILE* err) {
    bool allFound = true;
    std::string line;
    while (ReadLine(in, line)) {
        if (line.empty()) continue;
        if (!LookUp(TypedCode{line, text::Utf8ToCp932(line)}, settings, out, err)) {
            allFound = false;
        }
    }
    return allFound;
}

}  // namespace marupo::lookup
