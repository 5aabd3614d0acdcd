// Runs the built marupo-lookup program on files written here and checks what it prints and its
// exit status.

#include <gtest/gtest.h>

#include "tests/support/unique_name.h"
#include "tests/support/zip_writer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text/encoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace marupo {
namespace {

namespace fs = std::filesystem;

std::string S(const std::string& utf8) {
    return text::Utf8ToCp932(utf8);
}

std::string Ken(const std::string& code, const std::string& prefecture, const std::string& city,
                const std::string& town) {
    return S("01101,\"060  \",\"" + code + "\",\"ﾎｯｶｲﾄﾞｳ\",\"ｼ\",\"ﾁ\",\"" + prefecture + "\",\"" +
             city + "\",\"" + town + "\",0,0,0,0,0,0\r\n");
}

std::string Jig(const std::string& code, const std::string& town, const std::string& block) {
    return S("13101,\"ｶ\",\"株式会社\",\"東京都\",\"千代田区\",\"" + town + "\",\"" + block +
             "\",\"" + code + "\",\"100  \",\"銀座\",0,0,0\r\n");
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

fs::path ToolPath() {
#ifdef _WIN32
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path().parent_path() / "marupo-lookup.exe";
#else
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "marupo-lookup";
#endif
}

class LookupToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / marupo::testing::UniqueName("marupo-lookup");
        fs::create_directories(dir_);
        ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath();
        nationwide_ =
            Write("KEN_ALL.CSV", Ken("0600000", "北海道", "札幌市中央区", "以下に掲載がない場合") +
                                     Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘") +
                                     Ken("5100000", "三重県", "四日市市", "以下に掲載がない場合"));
        business_ = Write("JIGYOSYO.CSV", Jig("1008799", "大手町", "１丁目３－３"));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string Write(const std::string& name, const std::string& content) {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return (dir_ / name).string();
    }

    // Runs the tool in the temporary directory with `input` on its standard input.
    RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
        const fs::path in = dir_ / "stdin.txt";
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        std::ofstream(in, std::ios::binary) << input;
        RunResult result;
#ifdef _WIN32
        std::string command = "\"" + ToolPath().string() + "\"";
        // Arguments travel in the ANSI code page (932 here).
        for (const std::string& arg : args) command += " \"" + text::Utf8ToCp932(arg) + "\"";
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE hIn = CreateFileA(in.string().c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
        HANDLE hOut = CreateFileA(out.string().c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
                                  0, nullptr);
        HANDLE hErr = CreateFileA(err.string().c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
                                  0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = hIn;
        startup.hStdOutput = hOut;
        startup.hStdError = hErr;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                           dir_.string().c_str(), &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            result.status = static_cast<int>(code);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(hIn);
        CloseHandle(hOut);
        CloseHandle(hErr);
#else
        auto quote = [](const std::string& s) {
            std::string q = "'";
            for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
            return q + "'";
        };
        std::string command = "cd " + quote(dir_.string()) + " && " + quote(ToolPath().string());
        for (const std::string& arg : args) command += " " + quote(arg);
        command +=
            " <" + quote(in.string()) + " >" + quote(out.string()) + " 2>" + quote(err.string());
        const int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    std::vector<std::string> Files() const {
        return {"--nationwide", nationwide_, "--business", business_};
    }
    std::vector<std::string> Files(std::vector<std::string> more) const {
        std::vector<std::string> args = Files();
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    fs::path dir_;
    std::string nationwide_;
    std::string business_;
};

TEST_F(LookupToolTest, PrintsEachFoundCodeAsATabSeparatedUtf8Line) {
    const RunResult r = Run(Files({"0640941", "060-0000", "1008799"}));
    EXPECT_EQ(r.out,
              "0640941\t北海道\t札幌市中央区\t旭ケ丘\n"
              "0600000\t北海道\t札幌市中央区\t\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

TEST_F(LookupToolTest, DivCityMovesTheWardButNotForYokkaichi) {
    const RunResult r = Run(Files({"--div-city", "0640941", "0600000", "5100000"}));
    EXPECT_EQ(r.out,
              "0640941\t北海道\t札幌市\t中央区旭ケ丘\n"
              "0600000\t北海道\t札幌市\t中央区\n"
              "5100000\t三重県\t四日市市\t\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(LookupToolTest, InvalidAndUnknownCodesAreReportedWithTheCodeAsTyped) {
    const RunResult r = Run(Files({"123", "0640941", "9999-999", "1234-5678", "0000000"}));
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
    EXPECT_EQ(r.err,
              "123: 郵便番号が不正です\n"
              "9999-999: 郵便番号が見つかりませんでした。\n"
              "1234-5678: 郵便番号が不正です\n"
              "0000000: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(LookupToolTest, FullWidthDigitsAreInvalidAsInTheEditor) {
    const RunResult r = Run(Files({"０６４０９４１", "064ｰ0941"}));  // ｰ is one byte
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
    EXPECT_EQ(r.err, "０６４０９４１: 郵便番号が不正です\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(LookupToolTest, FilesThatCannotBeOpenedAreNamedThenTheCodeIsNotFound) {
    RunResult r =
        Run({"--nationwide", (dir_ / "missing.csv").string(), "--business", business_, "1008799"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "1008799: CSVファイル1のオープンに失敗しました\n"
              "1008799: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1);

    r = Run({"--nationwide=" + nationwide_, "--business=" + dir_.string(), "1008799", "0640941"});
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
    EXPECT_EQ(r.err,
              "1008799: CSVファイル2のオープンに失敗しました\n"
              "1008799: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1);
}

// Japan Post's three downloads as they come, chosen directly.
TEST_F(LookupToolTest, ZipArchivesAnswerAsTheirCsvFiles) {
    // Dated now by their extended timestamps, so that no code not found names old data.
    const auto archive = [](const char* name, const std::string& data, std::uint16_t method = 8) {
        const auto now = static_cast<std::int32_t>(std::time(nullptr));
        return testing::MakeZip({{name, data, method, 0, testing::DosDate(2020, 1, 1), now}});
    };
    const std::string ken = ReadFile(nationwide_);
    const std::vector<std::string> zips = {
        "--nationwide", Write("ken_all.zip", archive("KEN_ALL.CSV", ken)), "--business",
        Write("jigyosyo.zip", archive("JIGYOSYO.CSV", ReadFile(business_), 0))};
    const std::vector<std::string> utf8Zips = {
        "--nationwide", Write("utf_ken_all.zip", archive("utf_all.csv", text::Cp932ToUtf8(ken))),
        "--business", zips[3]};
    for (const std::vector<std::string>& codes : {std::vector<std::string>{"1008799"},
                                                  {"0640941", "1008799", "0000000", "5100000"},
                                                  {"--all", "--div-city", "0600000", "1008799"}}) {
        const RunResult csv = Run(Files(codes));
        for (auto args : {zips, utf8Zips}) {
            args.insert(args.end(), codes.begin(), codes.end());
            const RunResult zip = Run(args);
            EXPECT_EQ(zip.out, csv.out) << args[1];
            EXPECT_EQ(zip.err, csv.err) << args[1];
            EXPECT_EQ(zip.status, csv.status) << args[1];
        }
    }
    // An archive the search cannot use fails as a file that cannot be opened.
    std::string damaged = archive("KEN_ALL.CSV", ken);
    damaged[damaged.size() - 10] ^= 0x40;  // the central directory's size
    const RunResult r =
        Run({"--nationwide", Write("damaged.zip", damaged), "--business", zips[3], "1008799"});
    EXPECT_EQ(r.err,
              "1008799: CSVファイル1のオープンに失敗しました\n"
              "1008799: 郵便番号が見つかりませんでした。\n");
}

TEST_F(LookupToolTest, OldNationwideDataIsNamedOnceAfterTheFirstCodeNotFound) {
    const std::string hint =
        ": 郵便番号データは2020年4月のものです。新しいデータを日本郵便のページからダウンロードして"
        "ください。\n";
    const std::string old =
        Write("ken_all.zip", testing::MakeZip({{"KEN_ALL.CSV", ReadFile(nationwide_), 8, 0,
                                                testing::DosDate(2020, 4, 30)}}));
    const RunResult r = Run({"--nationwide", old, "--business", business_, "0000000", "1234567"});
    EXPECT_EQ(r.err, "0000000: 郵便番号が見つかりませんでした。\n0000000" + hint +
                         "1234567: 郵便番号が見つかりませんでした。\n");
    // The CSV file's last write counts the same; data of this month is not named.
    fs::last_write_time(nationwide_,
                        fs::last_write_time(nationwide_) - std::chrono::hours(24 * 400));
    EXPECT_NE(Run(Files({"0000000"})).err.find("郵便番号データは"), std::string::npos);
    fs::last_write_time(nationwide_, fs::file_time_type::clock::now());
    EXPECT_EQ(Run(Files({"0000000"})).err, "0000000: 郵便番号が見つかりませんでした。\n");
}

TEST_F(LookupToolTest, ReadsCodesFromStandardInputWithoutArguments) {
    RunResult r = Run(Files(), "0640941\r\n\n1008799\n5100000");
    EXPECT_EQ(r.out,
              "0640941\t北海道\t札幌市中央区\t旭ケ丘\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n"
              "5100000\t三重県\t四日市市\t\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);

    r = Run(Files(), "0640941\nabc\n" + std::string(5000, '7') + "\n");
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
    EXPECT_EQ(r.err,
              "abc: 郵便番号が不正です\n" + std::string(256, '7') + ": 郵便番号が不正です\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(LookupToolTest, HelpAndUsageErrors) {
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.out.rfind("Usage: marupo-lookup [OPTION]... [CODE]...\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--nationwide FILE"), std::string::npos);
    EXPECT_EQ(r.status, 0);

    r = Run({"--frobnicate", "0640941"});
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("unrecognized option '--frobnicate'"), std::string::npos) << r.err;
    EXPECT_EQ(r.status, 2);

    r = Run({"--nationwide"});
    EXPECT_NE(r.err.find("requires an argument"), std::string::npos) << r.err;
    EXPECT_EQ(r.status, 2);
}

TEST_F(LookupToolTest, AllPrintsEveryRecordOfTheCodeInFileOrder) {
    const std::string nationwide =
        Write("ALL.CSV", Ken("4520961", "愛知県", "清須市", "春日（一）") +
                             Ken("4520961", "愛知県", "清須市", "春日（二、") +
                             Ken("4520961", "愛知県", "清須市", "三）") +
                             Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘") +
                             Ken("4520961", "愛知県", "清須市", "西枇杷島町"));
    const RunResult r =
        Run({"--all", "--nationwide", nationwide, "--business", business_, "4520961", "1008799"});
    EXPECT_EQ(r.out,
              "4520961\t愛知県\t清須市\t春日（一）\n"
              "4520961\t愛知県\t清須市\t春日（二、三）\n"
              "4520961\t愛知県\t清須市\t西枇杷島町\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(LookupToolTest, ManyCodesAtOnceAnswerAsEachCodeAlone) {
    const std::string samples = MARUPO_SOURCE_DIR "/data/sample/";
    const std::vector<std::string> files = {
        "--nationwide", Write("S_KEN.CSV", ReadFile(samples + "KEN_ALL.CSV")), "--business",
        Write("S_JIG.CSV", ReadFile(samples + "JIGYOSYO.CSV"))};
    // Continued, placeholder, hyphenated, business office, in neither file, invalid, two
    // prefectures, repeated, the last code of the file.
    const std::vector<std::string> codes = {"0660005", "0600000", "064-0941", "1003131", "1234567",
                                            "12345",   "4980000", "0660005",  "7390474"};
    RunResult alone;
    alone.status = 0;
    std::string input;
    for (const std::string& code : codes) {
        std::vector<std::string> args = files;
        args.push_back(code);
        const RunResult r = Run(args);
        alone.out += r.out;
        alone.err += r.err;
        alone.status = std::max(alone.status, r.status);
        input += code + "\n";
    }
    ASSERT_EQ(alone.status, 1);
    std::vector<std::string> args = files;
    args.insert(args.end(), codes.begin(), codes.end());
    for (const RunResult& together : {Run(args), Run(files, input)}) {
        EXPECT_EQ(together.out, alone.out);
        EXPECT_EQ(together.err, alone.err);
        EXPECT_EQ(together.status, alone.status);
    }
}

TEST_F(LookupToolTest, DamagedTextKeepsLinesAndColumnsApart) {
    // A city and a street that end in a lead byte without its trail.
    const std::string nationwide =
        Write("DAMAGED.CSV", S("01101,\"060  \",\"0600001\",a,b,c,\"北海道\",\"") + "\x8E\x44\x81" +
                                 "\",\"\x81\",0\r\n" +
                                 Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘"));
    const RunResult r =
        Run({"--nationwide", nationwide, "--business", business_, "0600001", "0640941"});
    EXPECT_EQ(r.out,
              "0600001\t北海道\t札?\t?\n"
              "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
}

// The first line where two outputs differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream left(a);
    std::istringstream right(b);
    std::string l;
    std::string r;
    for (int line = 1;; ++line) {
        const bool moreLeft = static_cast<bool>(std::getline(left, l));
        const bool moreRight = static_cast<bool>(std::getline(right, r));
        if (!moreLeft && !moreRight) return "";
        if (l != r || moreLeft != moreRight) {
            return "line " + std::to_string(line) + ": " + l + " | " + r;
        }
    }
}

// The full-size files: where MARUPO_BENCH_DATA says, else ../shared/data beside the checkout.
fs::path FullSizeData() {
    const char* set = std::getenv("MARUPO_BENCH_DATA");
    return fs::absolute(set != nullptr && *set != '\0'
                            ? fs::path(set)
                            : fs::path(MARUPO_SOURCE_DIR) / ".." / "shared" / "data");
}

// Also read from Japan Post's ZIP files, made here from the CSV files as Japan Post names them.
TEST_F(LookupToolTest, BothEditionsOfTheFullSizeFileGiveTheSameForEveryCode) {
    const fs::path data = FullSizeData();
    for (const char* name : {"KEN_ALL.CSV", "utf_ken_all.csv", "JIGYOSYO.CSV"}) {
        if (!fs::exists(data / name)) {
            GTEST_SKIP() << "no full-size " << name << " in " << data
                         << " (MARUPO_BENCH_DATA names another folder)";
        }
    }
    // Every code of the nationwide file, once, in file order: column 2 without its quotes; then
    // every hundredth code of the business file, so that its archive is read through too.
    std::istringstream ken(ReadFile(data / "KEN_ALL.CSV"));
    std::set<std::string> seen;
    std::string codes;
    for (std::string line; std::getline(ken, line);) {
        const std::size_t start = line.find(",\"", line.find(',') + 1) + 2;
        const std::string code = line.substr(start, 7);
        if (seen.insert(code).second) codes += code + "\n";
    }
    ASSERT_GT(seen.size(), 100000u);
    std::istringstream jigyosyo(ReadFile(data / "JIGYOSYO.CSV"));
    int line = 0;
    for (std::string text; std::getline(jigyosyo, text);) {
        if (line++ % 100 != 0) continue;
        std::size_t at = 0;
        for (int comma = 0; comma < 7; ++comma) at = text.find(',', at) + 1;
        codes += text.substr(at + 1, 7) + "\n";
    }
    const auto zip = [&](const char* archive, const char* entry, const char* csv) {
        return Write(archive, testing::MakeZip({{entry, ReadFile(data / csv)}}));
    };
    const std::vector<std::pair<std::string, std::string>> files = {
        {(data / "KEN_ALL.CSV").string(), (data / "JIGYOSYO.CSV").string()},
        {(data / "utf_ken_all.csv").string(), (data / "JIGYOSYO.CSV").string()},
        {zip("ken_all.zip", "KEN_ALL.CSV", "KEN_ALL.CSV"),
         zip("jigyosyo.zip", "JIGYOSYO.CSV", "JIGYOSYO.CSV")},
        {zip("utf_ken_all.zip", "utf_all.csv", "utf_ken_all.csv"),
         (dir_ / "jigyosyo.zip").string()},
    };
    for (const char* option : {"", "--div-city", "--all"}) {
        const auto run = [&](const std::pair<std::string, std::string>& pair) {
            std::vector<std::string> args = {"--nationwide", pair.first, "--business", pair.second};
            if (*option != '\0') args.push_back(option);
            return Run(args, codes);
        };
        const RunResult sjis = run(files[0]);
        EXPECT_EQ(sjis.status, 0) << option;
        EXPECT_EQ(sjis.err, "") << option;
        EXPECT_GE(static_cast<std::size_t>(std::count(sjis.out.begin(), sjis.out.end(), '\n')),
                  seen.size())
            << option;
        for (std::size_t i = 1; i < files.size(); ++i) {
            const RunResult other = run(files[i]);
            EXPECT_TRUE(sjis.out == other.out)
                << option << " " << files[i].first << ": " << FirstDifference(sjis.out, other.out);
            EXPECT_EQ(other.err, "") << option << " " << files[i].first;
        }
    }
}

#ifndef _WIN32
TEST_F(LookupToolTest, UsesTheFilesInTheCurrentDirectoryByDefault) {
    const RunResult r = Run({"0640941", "1008799"});
    EXPECT_EQ(r.out,
              "0640941\t北海道\t札幌市中央区\t旭ケ丘\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.status, 0);
}
#endif

}  // namespace
}  // namespace marupo
