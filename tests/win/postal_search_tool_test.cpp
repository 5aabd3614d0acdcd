// The Windows marupo-lookup takes the files and the split from the add-in's settings in the
// registry when the command line does not name them.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/lookup_tool_run.h"
#include "tests/support/postal_lines.h"
#include "tests/support/sjis_text.h"
#include "tests/support/test_files.h"

namespace marupo {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "SOFTWARE\\Orlenta\\Marupo";

using testing::RunResult;

class LookupToolSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta");
        nationwide_ = folder_.Write(
            "KEN_ALL.CSV",
            testing::Sjis(testing::Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘")));
        business_ = folder_.Write(
            "JIGYOSYO.CSV",
            testing::Sjis(testing::Jig("1008799", "東京都", "千代田区", "大手町", "１丁目３－３")));
        ASSERT_TRUE(fs::exists(testing::LookupToolPath())) << testing::LookupToolPath();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta"); }

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

    // Runs the tool in another working folder than the files', so nothing is found by accident
    // there.
    RunResult Run(const std::vector<std::string>& args) {
        return testing::RunLookupTool(args, folder_.Folder(), fs::temp_directory_path());
    }

    testing::TempFolder folder_{"marupo-tool-win"};
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
    EXPECT_EQ(r.status, 0);
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
    SetPath("CSVFile1", folder_.Path("gone.csv"));
    SetPath("CSVFile2", business_);
    RunResult r = Run({"1008799"});
    EXPECT_EQ(r.err,
              "1008799: CSVファイル1のオープンに失敗しました\n"
              "1008799: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1);
    r = Run({"--nationwide", nationwide_, "1008799"});
    EXPECT_EQ(r.out, "1008799\t東京都\t千代田区\t大手町１丁目３－３\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(LookupToolSettingsTest, WithoutSettingsTheNationwideFileCannotBeOpened) {
    const RunResult r = Run({"0640941"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "0640941: CSVファイル1のオープンに失敗しました\n"
              "0640941: 郵便番号が見つかりませんでした。\n");
    EXPECT_EQ(r.status, 1);
}

}  // namespace
}  // namespace marupo
