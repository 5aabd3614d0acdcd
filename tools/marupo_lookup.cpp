// marupo-lookup: the postal-code lookup of the add-in as a command-line tool.

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "text/encoding.h"
#include "tools/lookup_tool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "settings/settings_store.h"
#include "ui/module_state.h"
#else
#include <unistd.h>
#endif

namespace {

using marupo::PostalSettings;
using marupo::lookup::TypedCode;

#ifdef _WIN32

std::string Convert(UINT from, UINT to, const std::string& text) {
    return marupo::text::WideToMultiByte(to, marupo::text::MultiByteToWide(from, text));
}

// Arguments arrive in the ANSI code page.
TypedCode FromArgument(const std::string& arg) {
    return TypedCode{Convert(CP_ACP, CP_UTF8, arg), Convert(CP_ACP, 932, arg)};
}

// The add-in's own settings, as its editor reads them.
PostalSettings DefaultSettings() {
    marupo::ui::SetAddinModule(GetModuleHandleW(nullptr));
    marupo::ui::AddinModuleScope scope;
    PostalSettings settings;
    marupo::LoadSettings(settings);
    return settings;
}

void PrepareStreams() {
    // Output is UTF-8 with plain line feeds, the same bytes on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool InputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

#else

TypedCode FromArgument(const std::string& arg) {
    return TypedCode{arg, marupo::text::Utf8ToCp932(arg)};
}

PostalSettings DefaultSettings() {
    PostalSettings settings;
    settings.nationwideFile = "KEN_ALL.CSV";
    settings.businessFile = "JIGYOSYO.CSV";
    return settings;
}

void PrepareStreams() {}

bool InputIsTerminal() {
    return isatty(fileno(stdin)) != 0;
}

#endif

int Run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    marupo::lookup::Options options;
    std::string error;
    if (!marupo::lookup::ParseArguments(args, options, error)) {
        std::fprintf(stderr,
                     "marupo-lookup: %s\nTry 'marupo-lookup --help' for more information.\n",
                     error.c_str());
        return 2;
    }
    if (options.help) {
        marupo::lookup::PrintHelp(stdout);
        return 0;
    }

    PostalSettings settings = DefaultSettings();
    if (options.nationwideFile) settings.nationwideFile = *options.nationwideFile;
    if (options.businessFile) settings.businessFile = *options.businessFile;
    if (options.divCity) settings.divCity = 1;

    const marupo::lookup::Printing printing{options.everyRecord, options.raw};
    marupo::lookup::ResultOutput out(stdout);
    bool allFound = true;
    if (options.codes.empty()) {
        // Someone typing codes gets each answer at once.
        const std::size_t perPass = InputIsTerminal() ? 1 : marupo::lookup::kCodesPerPass;
        allFound = marupo::lookup::LookUpLines(stdin, settings, printing, perPass, out, stderr);
    } else {
        std::vector<TypedCode> codes;
        for (const std::string& code : options.codes) codes.push_back(FromArgument(code));
        marupo::lookup::PassOpener open(out, stderr);
        allFound = marupo::lookup::LookUpCodes(codes, settings, printing, out, stderr, open);
    }
    out.Flush();
    if (out.Failed()) {
        std::fprintf(stderr, "marupo-lookup: cannot write the results: %s\n",
                     std::strerror(out.Error()));
        return 1;
    }
    return allFound ? 0 : 1;
}

}  // namespace

// Running out of memory, or a text the system cannot convert, ends the run with a message
// rather than the runtime's abort.
int main(int argc, char** argv) {
    PrepareStreams();
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "marupo-lookup: out of memory\n");
    } catch (const marupo::text::ConversionError& e) {
        std::fprintf(stderr, "marupo-lookup: %s (error %lu)\n", e.what(), e.Code());
    }
    return 1;
}
