// Runs the built marupo-lookup program on files written here and checks what it prints and its
// exit status.

#include <gtest/gtest.h>

#include "tests/support/lookup_tool_run.h"
#include "tests/support/postal_lines.h"
#include "tests/support/sjis_text.h"
#include "tests/support/test_files.h"
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

#include "postal/postal_line_scan.h"
#include "text/encoding.h"
#include "tools/lookup_tool.h"

namespace marupo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using testing::Jig;
using testing::Ken;
using testing::ReadFile;
using testing::RunResult;
using testing::Sjis;

class LookupToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(testing::LookupToolPath())) << testing::LookupToolPath();
        nationwide_ = Write("KEN_ALL.CSV",
                            Sjis(Ken("0600000", "北海道", "札幌市中央区", "以下に掲載がない場合") +
                                 Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘") +
                                 Ken("5100000", "三重県", "四日市市", "以下に掲載がない場合")));
        business_ = Write("JIGYOSYO.CSV",
                          Sjis(Jig("1008799", "東京都", "千代田区", "大手町", "１丁目３－３")));
    }

    std::string Write(const std::string& name, const std::string& content) {
        return folder_.Write(name, content);
    }

    // Runs the tool in the test's folder.
    RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                  const std::string& output = "") {
        return testing::RunLookupTool(args, dir_, dir_, input, output);
    }

    std::vector<std::string> Files() const {
        return {"--nationwide", nationwide_, "--business", business_};
    }
    std::vector<std::string> Files(std::vector<std::string> more) const {
        std::vector<std::string> args = Files();
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    testing::TempFolder folder_{"marupo-lookup"};
    const fs::path& dir_ = folder_.Folder();
    std::string nationwide_;
    std::string business_;
};

// What the tool prints for the codes and files on its command line, and its exit status.
TEST_F(LookupToolTest, EachCodeGivesItsAddressLineOrItsMessages) {
    const std::string asahigaoka = "0640941\t北海道\t札幌市中央区\t旭ケ丘\n";
    const std::string notFound = ": 郵便番号が見つかりませんでした。\n";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string out;
        std::string err;
        int status;
    } cases[] = {
        {"found codes as tab-separated UTF-8 lines", Files({"0640941", "060-0000", "1008799"}),
         asahigaoka + "0600000\t北海道\t札幌市中央区\t\n"
                      "1008799\t東京都\t千代田区\t大手町１丁目３－３\n",
         "", 0},
        {"the ward moved, but not for Yokkaichi",
         Files({"--div-city", "0640941", "0600000", "5100000"}),
         "0640941\t北海道\t札幌市\t中央区旭ケ丘\n"
         "0600000\t北海道\t札幌市\t中央区\n"
         "5100000\t三重県\t四日市市\t\n",
         "", 0},
        {"invalid and unknown codes named as typed",
         Files({"123", "0640941", "9999-999", "1234-5678", "0000000"}), asahigaoka,
         "123: 郵便番号が不正です\n9999-999" + notFound + "1234-5678: 郵便番号が不正です\n0000000" +
             notFound,
         1},
        // ｰ is one byte; eight full-width digits are still eight digits.
        {"codes read as in the editor",
         Files({"０６４０９４１", "〒 064－0941", "064ｰ0941", "１２３４５６７８"}),
         asahigaoka + asahigaoka + asahigaoka, "１２３４５６７８: 郵便番号が不正です\n", 1},
        {"nationwide file that cannot be opened",
         {"--nationwide", (dir_ / "missing.csv").string(), "--business", business_, "1008799"},
         "",
         "1008799: CSVファイル1のオープンに失敗しました\n1008799" + notFound,
         1},
        {"business file that cannot be opened, named with =",
         {"--nationwide=" + nationwide_, "--business=" + dir_.string(), "1008799", "0640941"},
         asahigaoka,
         "1008799: CSVファイル2のオープンに失敗しました\n1008799" + notFound,
         1},
    };
    for (const auto& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
        EXPECT_EQ(r.status, c.status) << c.name;
    }
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

TEST_F(LookupToolTest, AllPrintsEveryRecordOfTheCodeOnceAndRawKeepsTheNotes) {
    const std::string nationwide =
        Write("ALL.CSV", Sjis(Ken("4520961", "愛知県", "清須市", "春日（一）") +
                              // After the code's first line, only its postal-code column counts.
                              "01101,\"4520961\",\"0640942\",a,b,c,\"北海道\",\"札幌市中央区\","
                              "\"宮ケ丘\",0\r\n" +
                              Ken("4520961", "愛知県", "清須市", "春日（二、") +
                              Ken("4520961", "愛知県", "清須市", "三）") +
                              Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘") +
                              Ken("4520961", "愛知県", "清須市", "西枇杷島町") +
                              Ken("4520961", "愛知県", "清須市", "春日（一）")));
    const auto run = [&](std::vector<std::string> options) {
        for (const char* arg : {"--nationwide", nationwide.c_str(), "--business", business_.c_str(),
                                "4520961", "1008799"}) {
            options.push_back(arg);
        }
        return Run(options).out;
    };
    EXPECT_EQ(run({"--all"}),
              "4520961\t愛知県\t清須市\t春日一\n"
              "4520961\t愛知県\t清須市\t春日\n"
              "4520961\t愛知県\t清須市\t西枇杷島町\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(run({"--all", "--raw"}),
              "4520961\t愛知県\t清須市\t春日（一）\n"
              "4520961\t愛知県\t清須市\t春日（二、三）\n"
              "4520961\t愛知県\t清須市\t西枇杷島町\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(run({"--raw"}),
              "4520961\t愛知県\t清須市\t春日（一）\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
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
        Write("DAMAGED.CSV", Sjis("01101,\"060  \",\"0600001\",a,b,c,\"北海道\",\"") +
                                 "\x8E\x44\x81" + "\",\"\x81\",0\r\n" +
                                 Sjis(Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘")));
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

struct AwkwardCase {
    const char* name;
    std::string nationwide;  // the file's bytes; empty: the fixture's file
    bool pipe;               // the nationwide file is given as a pipe
    std::vector<std::string> args;
    std::string input;
    const char* output;  // where standard output goes; null: a file read back
    std::string out;
    std::string err;
    int status;
};

TEST_F(LookupToolTest, AwkwardInputAndOutput) {
    const std::string asahigaoka = "0640941\t北海道\t札幌市中央区\t旭ケ丘\n";
    const std::string otemachi = "1008799\t東京都\t千代田区\t大手町１丁目３－３\n";
    std::string manyCodes;
    for (int i = 0; i < 1000; ++i) manyCodes += "0640941\n1008799\n";
    std::string onePassOfCodes;
    std::string onePassOfResults;
    for (std::size_t i = 0; i < lookup::kCodesPerPass; ++i) {
        onePassOfCodes += "0640941\n";
        onePassOfResults += asahigaoka;
    }
    // The code lies further into its line than a block, behind the columns taken.
    const std::string longLine =
        Sjis("01101,\"064  \",\"0640000\",a,b,c,\"北海道\",\"札幌市中央区\",\"旭ケ丘\",") +
        std::string(2 * postal::kDefaultBlockSize, 'x') + ",0640941\r\n";
    const std::string noSpace =
        "marupo-lookup: cannot write the results: No space left on device\n";
    const std::string secondPass =
        "marupo-lookup: /dev/fd/3 is a pipe, which can be read only once: the codes after the "
        "first " +
        std::to_string(lookup::kCodesPerPass) + " cannot be looked up in it\n" +
        "0600000: CSVファイル1のオープンに失敗しました\n0600000: "
        "郵便番号が見つかりませんでした。\n";
    // clang-format off
    const std::vector<AwkwardCase> cases = {
#ifndef _WIN32
        {"full output device", "", false, {"0640941"}, "", "/dev/full", "", noSpace, 1},
        {"full output device, many codes", "", false, {}, manyCodes, "/dev/full", "", noSpace, 1},
        {"pipe, one code", longLine, true, {"0640941"}, "", nullptr, asahigaoka, "", 0},
        {"pipe, codes together", longLine, true, {"0640941", "1008799"}, "", nullptr,
         asahigaoka + otemachi, "", 0},
        {"pipe read a second time", "", true, {}, onePassOfCodes + "0600000\n", nullptr,
         onePassOfResults, secondPass, 1},
#endif
        {"byte-order mark on standard input", "", false, {}, "\xEF\xBB\xBF" "064-0941\r\n1008799\n",
         nullptr, asahigaoka + otemachi, "", 0},
        {"NUL in a line", "", false, {}, "06\0" "40941\n12\0" "34\n1008799\n"s, nullptr,
         asahigaoka + otemachi, "12\0" "34: 郵便番号が不正です\n"s, 1},
        // Nor is a Shift-JIS line joined with a UTF-8 one, either way round.
        {"UTF-8 line with an open bracket", Ken("0600001", "北海道", "札幌市", "甲町（１番地") +
         Ken("0600001", "北海道", "札幌市", "乙町") +
         Sjis(Ken("0600002", "北海道", "札幌市", "丙町（")) +
         Ken("0600002", "北海道", "札幌市", "丁町") + Ken("0600003", "北海道", "札幌市", "戊町（") +
         Sjis(Ken("0600003", "北海道", "札幌市", "己町")), false,
         {"--all", "0600001", "0600002", "0600003"},
         "", nullptr, "0600001\t北海道\t札幌市\t甲町（１番地\n0600001\t北海道\t札幌市\t乙町\n"
         "0600002\t北海道\t札幌市\t丙町（\n0600002\t北海道\t札幌市\t丁町\n"
         "0600003\t北海道\t札幌市\t戊町（\n0600003\t北海道\t札幌市\t己町\n", "", 0},
        {"characters outside the code page", Ken("0600001", "北海道", "札幌市", "𠮷野鷗町"), false,
         {"0600001"}, "", nullptr, "0600001\t北海道\t札幌市\t?野?町\n", "", 0},
    };
    // clang-format on
    for (const AwkwardCase& c : cases) {
        const std::string file =
            c.nationwide.empty() ? nationwide_ : Write("AWKWARD.CSV", c.nationwide);
        std::vector<std::string> args = {"--nationwide", c.pipe ? "/dev/fd/3" : file, "--business",
                                         business_};
        args.insert(args.end(), c.args.begin(), c.args.end());
        if (c.pipe) args.push_back("3< <(cat '" + file + "')");
        const RunResult r = Run(args, c.input, c.output != nullptr ? c.output : "");
        EXPECT_TRUE(r.out == c.out) << c.name << ": " << FirstDifference(r.out, c.out);
        EXPECT_EQ(r.err, c.err) << c.name;
        EXPECT_EQ(r.status, c.status) << c.name;
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
    int businessLine = 0;
    for (std::string text; std::getline(jigyosyo, text);) {
        if (businessLine++ % 100 != 0) continue;
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
    // The records whose town area holds a full-width bracket, as the file has them.
    const std::string utf8File = ReadFile(data / "utf_ken_all.csv");
    std::size_t bracketed = 0;
    for (std::size_t at = utf8File.find("（"); at != std::string::npos;
         at = utf8File.find("（", utf8File.find('\n', at))) {
        ++bracketed;
    }
    // The nationwide records among the output lines whose street holds a bracket (a business
    // office's street is left as the file has it).
    const auto bracketedStreets = [&seen](const std::string& out) {
        std::size_t count = 0;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            if (seen.count(line.substr(0, 7)) == 0) continue;
            const std::string street = line.substr(line.rfind('\t') + 1);
            if (street.find("（") != std::string::npos || street.find("）") != std::string::npos) {
                ++count;
            }
        }
        return count;
    };
    const std::vector<std::vector<std::string>> optionSets = {
        {}, {"--div-city"}, {"--all"}, {"--all", "--raw"}};
    for (const std::vector<std::string>& options : optionSets) {
        const bool raw = options.size() == 2;
        const std::string option = options.empty() ? "" : options.back();
        const auto run = [&](const std::pair<std::string, std::string>& pair) {
            std::vector<std::string> args = {"--nationwide", pair.first, "--business", pair.second};
            args.insert(args.end(), options.begin(), options.end());
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
        // No street keeps a bracket once the notes are out; every record has them in --raw.
        EXPECT_EQ(bracketedStreets(sjis.out), raw ? bracketed : 0u) << option;
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
