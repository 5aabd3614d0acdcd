// Times the postal-code file search on the full-size files: our search against a plain
// line-by-line scan in the same process, and marupo-lookup as a process against grep.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "postal/postal_file_search.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename F>
double MedianMs(int runs, F&& body) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        body();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(samples);
}

// The obvious way: fgets into a line buffer, strstr on each line; the business file only when
// the nationwide file has no line for the code.
bool ReferenceScanFile(const char* path, const char* code, std::string& line) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;
    char buffer[4096];
    bool found = false;
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        if (std::strstr(buffer, code) != nullptr) {
            line = buffer;
            found = true;
            break;
        }
    }
    std::fclose(file);
    return found;
}

// The floor for any scan: reading both files through without looking at the bytes.
void ReadThrough(const char* path) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) return;
    static char buffer[64 * 1024];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
    close(fd);
}

bool ReferenceScan(const char* nationwide, const char* business, const char* code) {
    std::string line;
    return ReferenceScanFile(nationwide, code, line) || ReferenceScanFile(business, code, line);
}

struct ProcessRun {
    double ms;
    long maxRssKiB;
};

ProcessRun Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    ProcessRun run{-1, 0};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        run.maxRssKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

ProcessRun MedianProcess(int runs, const std::vector<std::string>& args) {
    std::vector<double> times;
    long rss = 0;
    for (int i = 0; i < runs; ++i) {
        const ProcessRun run = Spawn(args);
        times.push_back(run.ms);
        rss = std::max(rss, run.maxRssKiB);
    }
    return ProcessRun{Median(times), rss};
}

const char* OutcomeName(marupo::postal::SearchOutcome outcome) {
    switch (outcome) {
        case marupo::postal::SearchOutcome::found:
            return "found";
        case marupo::postal::SearchOutcome::notFound:
            return "not found";
        default:
            return "file error";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: postal-bench KEN_ALL.CSV JIGYOSYO.CSV MARUPO_LOOKUP [RUNS]\n");
        return 2;
    }
    const std::string nationwide = argv[1];
    const std::string business = argv[2];
    const std::string lookup = argv[3];
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 31;
    const std::string grep = "/usr/bin/grep";

    struct Case {
        const char* name;
        const char* code;
    };
    const Case cases[] = {
        {"first lines", "0600000"},
        {"end of nationwide file", "9071801"},
        {"business file only", "7595592"},
        {"in neither file", "0000000"},
    };

    marupo::PostalSettings settings{nationwide, business, 0};
    std::printf("%-24s %-9s %10s %10s %7s   %10s %10s %7s %9s\n", "case (code)", "outcome",
                "search ms", "fgets ms", "ratio", "lookup ms", "grep ms", "ratio", "peak KiB");
    for (const Case& c : cases) {
        marupo::PostalAddress address;
        const auto outcome = marupo::postal::SearchPostalFiles(c.code, settings, address);
        const double ours =
            MedianMs(runs, [&] { marupo::postal::SearchPostalFiles(c.code, settings, address); });
        const double reference =
            MedianMs(runs, [&] { ReferenceScan(nationwide.c_str(), business.c_str(), c.code); });
        const ProcessRun tool = MedianProcess(
            runs, {lookup, "--nationwide", nationwide, "--business", business, c.code});
        const ProcessRun grepRun =
            MedianProcess(runs, {grep, "-a", "-F", "-m1", c.code, nationwide, business});
        std::printf("%-15s %-8s %-9s %10.3f %10.3f %6.1fx   %10.3f %10.3f %6.2f %9ld\n", c.name,
                    c.code, OutcomeName(outcome), ours, reference, reference / ours, tool.ms,
                    grepRun.ms, tool.ms / grepRun.ms, tool.maxRssKiB);
    }
    const double readOnly = MedianMs(runs, [&] {
        ReadThrough(nationwide.c_str());
        ReadThrough(business.c_str());
    });
    const double referenceFull =
        MedianMs(runs, [&] { ReferenceScan(nationwide.c_str(), business.c_str(), "0000000"); });
    std::printf(
        "\nreading both files from the page cache alone: %.3f ms, so no full scan can be more\n"
        "than %.1fx faster than the fgets+strstr scan on this machine.\n",
        readOnly, referenceFull / readOnly);
    std::printf(
        "\nsearch/fgets: the portable search against an fgets+strstr scan, in-process\n"
        "(ratio = how many times faster). lookup/grep: marupo-lookup as a process\n"
        "against grep -a -F -m1 (ratio = share of grep's time). Medians of %d runs;\n"
        "peak KiB is marupo-lookup's largest resident set.\n",
        runs);
    return 0;
}
