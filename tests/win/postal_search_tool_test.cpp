// The Windows marupo-lookup takes the files and the split from the add-in's settings in the
// registry when the command line does not name them.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/encoding.h"

namespace marupo {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "SOFTWARE\\Orlenta\\Marupo";

std::string S(const std::string& utf8) {
    return text::Utf8ToCp932(utf8);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

struct RunResult {
    DWORD status = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

class LookupToolSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta");
        dir_ = fs::temp_directory_path() /
               ("marupo-tool-win-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(dir_);
        nationwide_ =
            Write("KEN_ALL.CSV",
                  S("01101,\"064  \",\"0640941\",\"ﾎ\",\"ｻ\",\"ｱ\",\"北海道\",\"札幌市中央区\","
                    "\"旭ケ丘\",0,0,0,0,0,0\r\n"));
        business_ =
            Write("JIGYOSYO.CSV",
                  S("13101,\"ｶ\",\"株式会社\",\"東京都\",\"千代田区\",\"大手町\",\"１丁目３－３\","
                    "\"1008799\",\"100  \",\"銀座\",0,0,0\r\n"));
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        tool_ = fs::path(self).parent_path().parent_path() / "marupo-lookup.exe";
        ASSERT_TRUE(fs::exists(tool_)) << tool_;
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta");
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string Write(const std::string& name, const std::string& content) {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return (dir_ / name).string();
    }

    static void SetPath(const char* name, const std::string& path) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, REG_SZ, path.c_str(),
                                  static_cast<DWORD>(path.size() + 1)),
                  ERROR_SUCCESS);
    }
    static void SetDivCity(DWORD value) {
        ASSERT_EQ(
            RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "DivCity", REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
    }

    RunResult Run(const std::vector<std::string>& args) {
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        std::string command = "\"" + tool_.string() + "\"";
        for (const std::string& arg : args) command += " \"" + arg + "\"";
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE hOut = CreateFileA(out.string().c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
                                  0, nullptr);
        HANDLE hErr = CreateFileA(err.string().c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS,
                                  0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = hOut;
        startup.hStdError = hErr;
        PROCESS_INFORMATION process{};
        RunResult result;
        // Another working directory than the files', so nothing is found by accident there.
        const std::string cwd = fs::temp_directory_path().string();
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(),
                           &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &result.status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(hOut);
        CloseHandle(hErr);
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    fs::path dir_;
    fs::path tool_;
    std::string nationwide_;
    std::string business_;
};

TEST_F(LookupToolSettingsTest, TakesFilesAndSplitFromTheRegistry) {
    SetPath("CSVFile1", nationwide_);
    SetPath("CSVFile2", business_);
    SetDivCity(1);
    const RunResult r = Run({"0640941", "100-8799"});
    EXPECT_EQ(r.out,
              "0640941\t北海道\t札幌市\t中央区旭ケ丘\n"
              "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0u);
}

TEST_F(LookupToolSettingsTest, SplitOnlyWhenDivCityIsOne) {
    SetPath("CSVFile1", nationwide_);
    SetPath("CSVFile2", business_);
    SetDivCity(2);
    RunResult r = Run({"0640941"});
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市中央区\t旭ケ丘\n");
    // The option switches the split on whatever the registry says.
    r = Run({"--div-city", "0640941"});
    EXPECT_EQ(r.out, "0640941\t北海道\t札幌市\t中央区旭ケ丘\n");
}

TEST_F(LookupToolSettingsTest, OptionsOverrideSingleSettings) {
    SetPath("CSVFile1", (dir_ / "gone.csv").string());
    SetPath("CSVFile2", business_);
    RunResult r = Run({"1008799"});
    EXPECT_EQ(r.err,
              "1008799: CSVファイル1のオープンに失敗しました\n"
              "1008799: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1u);
    r = Run({"--nationwide", nationwide_, "1008799"});
    EXPECT_EQ(r.out, "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.status, 0u);
}

TEST_F(LookupToolSettingsTest, WithoutSettingsTheNationwideFileCannotBeOpened) {
    const RunResult r = Run({"0640941"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "0640941: CSVファイル1のオープンに失敗しました\n"
              "0640941: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1u);
}

}  // namespace
}  // namespace marupo
