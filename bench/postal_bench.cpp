// Times the postal-code file search on the full-size files: our search against a plain
// line-by-line scan in the same process, marupo-lookup as a process against grep, many codes in
// one marupo-lookup run against a single lookup, and the search in Japan Post's ZIP files against
// inflating their entries alone.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

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

// The processor time this thread has used.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The floor for any search in a ZIP file: inflating its first entry with zlib, the output
// dropped, from a file that holds it behind a plain local header.
void InflateThrough(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;
    unsigned char header[30];
    if (std::fread(header, 1, sizeof header, file) == sizeof header &&
        std::fseek(file, header[26] | header[27] << 8 | header[28] << 16 | header[29] << 24,
                   SEEK_CUR) == 0) {
        z_stream stream{};
        inflateInit2(&stream, -MAX_WBITS);
        static unsigned char in[64 * 1024];
        static unsigned char out[64 * 1024];
        int status = Z_OK;
        while (status == Z_OK) {
            if (stream.avail_in == 0) {
                stream.avail_in = static_cast<uInt>(std::fread(in, 1, sizeof in, file));
                stream.next_in = in;
                if (stream.avail_in == 0) break;
            }
            stream.next_out = out;
            stream.avail_out = sizeof out;
            status = inflate(&stream, Z_NO_FLUSH);
        }
        inflateEnd(&stream);
    }
    std::fclose(file);
}

bool ReferenceScan(const char* nationwide, const char* business, const char* code) {
    std::string line;
    return ReferenceScanFile(nationwide, code, line) || ReferenceScanFile(business, code, line);
}

struct ProcessRun {
    double ms;     // wall-clock time
    double cpuMs;  // user and system time, which other programs on the machine disturb less
    long maxRssKiB;
};

double Ms(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_usec) / 1000.0;
}

ProcessRun Spawn(const std::vector<std::string>& args, const char* input = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input, O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    ProcessRun run{-1, -1, 0};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        run.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
        run.maxRssKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Medians of several commands run by turns, so that a machine busy for a while slows all alike.
std::vector<ProcessRun> MedianProcesses(
    int runs, const std::vector<std::pair<std::vector<std::string>, const char*>>& commands) {
    std::vector<std::vector<double>> times(commands.size());
    std::vector<std::vector<double>> cpuTimes(commands.size());
    std::vector<long> rss(commands.size());
    for (int i = 0; i < runs; ++i) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const ProcessRun run = Spawn(commands[c].first, commands[c].second);
            times[c].push_back(run.ms);
            cpuTimes[c].push_back(run.cpuMs);
            rss[c] = std::max(rss[c], run.maxRssKiB);
        }
    }
    std::vector<ProcessRun> medians;
    for (std::size_t c = 0; c < commands.size(); ++c) {
        medians.push_back(ProcessRun{Median(times[c]), Median(cpuTimes[c]), rss[c]});
    }
    return medians;
}

ProcessRun MedianProcess(int runs, const std::vector<std::string>& args) {
    return MedianProcesses(runs, {{args, "/dev/null"}})[0];
}

// The postal-code column of every line: `column` counted from 0, its quotes removed.
std::vector<std::string> CodesOf(const char* path, int column) {
    std::vector<std::string> codes;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return codes;
    char line[4096];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const char* field = line;
        for (int i = 0; i < column && field != nullptr; ++i) {
            field = std::strchr(field, ',');
            if (field != nullptr) ++field;
        }
        if (field != nullptr && std::strlen(field) > 8) codes.emplace_back(field + 1, 7);
    }
    std::fclose(file);
    return codes;
}

const char* OutcomeName(marupo::postal::SearchOutcome outcome) {
    switch (outcome) {
        case marupo::postal::SearchOutcome::kFound:
            return "found";
        case marupo::postal::SearchOutcome::kNotFound:
            return "not found";
        default:
            return "file error";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: postal-bench KEN_ALL.CSV JIGYOSYO.CSV MARUPO_LOOKUP [RUNS "
                     "[ken_all.zip jigyosyo.zip]]\n");
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

    // Many codes in one run, against one lookup of a code in neither file (both files read
    // through): codes drawn at random from both files, fed on standard input.
    constexpr int kBulkCodes = 10000;
    std::vector<std::string> pool = CodesOf(nationwide.c_str(), 2);
    const std::vector<std::string> businessCodes = CodesOf(business.c_str(), 7);
    pool.insert(pool.end(), businessCodes.begin(), businessCodes.end());
    std::sort(pool.begin(), pool.end());
    pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
    std::mt19937 random(1);
    char input[] = "/tmp/postal-bench-codes-XXXXXX";
    const int fd = mkstemp(input);
    std::string codes;
    for (int i = 0; i < kBulkCodes && !pool.empty(); ++i)
        codes += pool[random() % pool.size()] + '\n';
    if (fd < 0 || write(fd, codes.data(), codes.size()) != static_cast<ssize_t>(codes.size())) {
        std::fprintf(stderr, "postal-bench: cannot write the codes\n");
        return 1;
    }
    close(fd);
    const std::vector<ProcessRun> timed = MedianProcesses(
        runs,
        {{{lookup, "--nationwide", nationwide, "--business", business, "0000000"}, "/dev/null"},
         {{lookup, "--nationwide", nationwide, "--business", business}, input}});
    unlink(input);
    const ProcessRun& single = timed[0];
    const ProcessRun& bulk = timed[1];
    std::printf(
        "\n%d random codes of both files in one marupo-lookup run, against one lookup of a code\n"
        "in neither file (goal: at most 3x; peak %ld KiB):\n"
        "  wall clock  %8.3f ms against %.3f ms: %.2fx\n"
        "  processor   %8.3f ms against %.3f ms: %.2fx (user and system time, which other\n"
        "              programs on a shared machine disturb less)\n",
        kBulkCodes, bulk.maxRssKiB, bulk.ms, single.ms, bulk.ms / single.ms, bulk.cpuMs,
        single.cpuMs, bulk.cpuMs / single.cpuMs);

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
    if (argc > 6) {
        // Both archives read through: the nationwide one in full, then the business one. By
        // turns, in wall-clock and in processor time, which other programs disturb less.
        const marupo::PostalSettings zips{argv[5], argv[6], 0};
        marupo::PostalAddress address;
        const auto outcome = marupo::postal::SearchPostalFiles("0000000", zips, address);
        std::vector<double> search[2];
        std::vector<double> inflate[2];
        const auto time = [](std::vector<double>* samples, auto&& body) {
            const double cpu = CpuMs();
            const auto start = Clock::now();
            body();
            samples[0].push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            samples[1].push_back(CpuMs() - cpu);
        };
        for (int i = 0; i < runs; ++i) {
            time(search, [&] { marupo::postal::SearchPostalFiles("0000000", zips, address); });
            time(inflate, [&] {
                InflateThrough(argv[5]);
                InflateThrough(argv[6]);
            });
        }
        std::printf(
            "\nA code in neither ZIP file (%s) against inflating both entries with zlib alone\n"
            "(goal: at most 1.15x):\n",
            OutcomeName(outcome));
        const char* names[] = {"wall clock", "processor "};
        for (int k = 0; k < 2; ++k) {
            std::printf("  %s  %8.3f ms against %.3f ms: %.2fx\n", names[k], Median(search[k]),
                        Median(inflate[k]), Median(search[k]) / Median(inflate[k]));
        }
    }
    std::printf(
        "\nsearch/fgets: the portable search against an fgets+strstr scan, in-process\n"
        "(ratio = how many times faster). lookup/grep: marupo-lookup as a process\n"
        "against grep -a -F -m1 (ratio = share of grep's time). Medians of %d runs;\n"
        "peak KiB is marupo-lookup's largest resident set.\n",
        runs);
    return 0;
}
