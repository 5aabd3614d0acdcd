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
    bool help = false;
    std::vector<std::string> codes;  // as given; none means: read from standard input
};

// Parses the arguments after the program name. On a usage error returns false with a message.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

void PrintHelp(std::FILE* out);

// Looks one code up and prints the result line to `out` or the messages to `err`. True when the
// code was found.
bool LookUp(const TypedCode& code, const PostalSettings& settings, std::FILE* out, std::FILE* err);

// Reads codes one per line from `in` (UTF-8; a CR before the line feed and empty lines are
// ignored) and looks each up. True when every code was found.
bool LookUpLines(std::FILE* in, const PostalSettings& settings, std::FILE* out, std::FILE* err);

}  // namespace marupo::lookup
