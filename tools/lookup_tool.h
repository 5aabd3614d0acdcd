#pragma once
// marupo-lookup: looks postal codes up in the postal-code files the way the add-in's editor
// does, for the command line and for bulk use.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "postal/postal_file.h"
#include "settings/postal_settings.h"

namespace marupo::lookup {

// One code as the user gave it: in UTF-8 for messages, and in Shift-JIS for the validation, which
// counts bytes as the editor does.
struct TypedCode {
    std::string utf8;
    std::string cp932;
};

struct Options {
    std::optional<std::string> nationwideFile;
    std::optional<std::string> businessFile;
    bool divCity = false;
    bool everyRecord = false;  // --all
    bool raw = false;          // --raw: town areas as the file has them
    bool help = false;
    std::vector<std::string> codes;  // as given; none means: read from standard input
};

// Parses the arguments after the program name. On a usage error returns false with a message.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

void PrintHelp(std::FILE* out);

// What to print for each code found.
struct Printing {
    bool everyRecord = false;  // every record of the code, not only the first
    bool raw = false;          // town areas as the file has them, notes and all
};

// Where the result lines go. The first write that fails is remembered, and nothing more is
// written after it, so that the caller reports it once.
class ResultOutput {
  public:
    explicit ResultOutput(std::FILE* file) : file_(file) {}

    void Write(std::string_view bytes);
    void Flush();
    bool Failed() const { return failed_; }
    int Error() const { return error_; }  // errno of the failed write

  private:
    void Fail();

    std::FILE* file_;
    bool failed_ = false;
    int error_ = 0;
};

// Opens the postal-code files for one pass after another. A file that cannot be read again (a
// pipe) serves its first pass only: a later one is refused, after a message on `err` that says
// why, so that the codes it would serve are reported rather than silently not found.
class PassOpener {
  public:
    PassOpener(ResultOutput& out, std::FILE* err) : out_(out), err_(err) {}
    std::unique_ptr<postal::PostalFile> operator()(const std::string& path);

  private:
    ResultOutput& out_;
    std::FILE* err_;
    std::vector<std::string> readOnce_;  // paths opened that cannot be read again
    std::vector<std::string> refused_;   // of those, the ones a later pass asked for
};

// Looks the codes up and prints, in their order, the result lines to `out` and the messages to
// `err`. A single code is searched as the editor searches it; several are looked up together, in
// one pass over each file, opened through `open`. True when every code was found.
bool LookUpCodes(const std::vector<TypedCode>& codes, const PostalSettings& settings,
                 Printing printing, ResultOutput& out, std::FILE* err, PassOpener& open);

// How many codes from standard input are looked up together: all of a large input in few passes,
// with memory bounded however long it is.
inline constexpr std::size_t kCodesPerPass = 100000;

// Reads codes one per line from `in` (UTF-8; a byte-order mark at its start, a CR before the line
// feed and empty lines are ignored) and looks them up `perPass` at a time, stopping once a write
// to `out` has failed. True when every code was found.
bool LookUpLines(std::FILE* in, const PostalSettings& settings, Printing printing,
                 std::size_t perPass, ResultOutput& out, std::FILE* err);

}  // namespace marupo::lookup
