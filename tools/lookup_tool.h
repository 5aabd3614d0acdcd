#pragma once
// marupo-lookup: looks postal codes up in the postal-code files the way the add-in's editor
// does, for the command line and for bulk use.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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

// Looks the codes up and prints, in their order, the result lines to `out` and the messages to
// `err`. A single code is searched as the editor searches it; several are looked up together, in
// one pass over each file. True when every code was found.
bool LookUpCodes(const std::vector<TypedCode>& codes, const PostalSettings& settings,
                 Printing printing, std::FILE* out, std::FILE* err);

// How many codes from standard input are looked up together: all of a large input in few passes,
// with memory bounded however long it is.
inline constexpr std::size_t kCodesPerPass = 100000;

// Reads codes one per line from `in` (UTF-8; a CR before the line feed and empty lines are
// ignored) and looks them up `perPass` at a time. True when every code was found.
bool LookUpLines(std::FILE* in, const PostalSettings& settings, Printing printing,
                 std::size_t perPass, std::FILE* out, std::FILE* err);

}  // namespace marupo::lookup
