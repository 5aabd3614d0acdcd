#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/support/modal_driver.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

constexpr char kKey[] = "SOFTWARE\\Orlenta\\Marupo";
constexpr wchar_t kWriteFailed[] = L"レジストリの書き込みに失敗しました。";

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::SetAddinModule(GetModuleHandleW(nullptr));
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta"); }

    static void CreateKey() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, type, data, size), ERROR_SUCCESS);
    }
    static void SetString(const char* name, const std::string& text) {
        SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static void SetDword(const char* name, DWORD value) { SetRaw(name, REG_DWORD, &value, 4); }
    struct Stored {
        DWORD type = 0;
        std::vector<char> bytes;
    };
    static Stored Read(const char* name) {
        Stored stored;
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &stored.type,
                         nullptr, &size) != ERROR_SUCCESS)
            return stored;
        stored.bytes.resize(size);
        RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &stored.type,
                     stored.bytes.data(), &size);
        return stored;
    }
    // A volatile parent key refuses the non-volatile settings key, so it cannot be created.
    static void MakeKeyUncreatable() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orlenta", 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(SettingsStoreTest, FirstStartCreatesEmptyKeyAndIsIncomplete) {
    PostalSettings settings;
    EXPECT_FALSE(LoadSettings(settings));
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(settings.nationwideFile, "");
    EXPECT_EQ(settings.businessFile, "");
    EXPECT_EQ(settings.divCity, 0);
    EXPECT_TRUE(Read("CSVFile1").bytes.empty());
}

struct LoadCase {
    const char* name;
    const char* csv1;  // nullptr: value absent
    const char* csv2;
    bool divCityPresent;
    DWORD divCity;
    bool complete;
    std::int32_t expectedDivCity;
};

class SettingsLoadTable : public SettingsStoreTest,
                          public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoadTable, ReadsValuesAndCompleteness) {
    const LoadCase& c = GetParam();
    CreateKey();
    if (c.csv1 != nullptr) SetString("CSVFile1", c.csv1);
    if (c.csv2 != nullptr) SetString("CSVFile2", c.csv2);
    if (c.divCityPresent) SetDword("DivCity", c.divCity);
    PostalSettings settings;
    EXPECT_EQ(LoadSettings(settings), c.complete);
    EXPECT_EQ(settings.nationwideFile, c.csv1 != nullptr ? c.csv1 : "");
    EXPECT_EQ(settings.businessFile, c.csv2 != nullptr ? c.csv2 : "");
    EXPECT_EQ(settings.divCity, c.expectedDivCity);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLoadTable,
    ::testing::Values(LoadCase{"both_paths_split_on", "C:\\zip\\KEN_ALL.CSV",
                               "C:\\zip\\JIGYOSYO.CSV", true, 1, true, 1},
                      LoadCase{"divcity_absent", "a.csv", "b.csv", false, 0, true, 0},
                      LoadCase{"only_nationwide", "a.csv", nullptr, true, 0, false, 0},
                      LoadCase{"only_business", nullptr, "b.csv", false, 0, false, 0},
                      LoadCase{"empty_path_counts_as_missing", "", "b.csv", false, 0, false, 0},
                      LoadCase{"hand_edited_divcity_kept", "a.csv", "b.csv", true, 2, true, 2},
                      // 郵便 in Shift-JIS inside the path.
                      LoadCase{"shift_jis_path", "C:\\\x97\x58\x95\xD6\\KEN_ALL.CSV", "b.csv", true,
                               0, true, 0}),
    [](const ::testing::TestParamInfo<LoadCase>& p) { return std::string(p.param.name); });

TEST_F(SettingsStoreTest, PathStoredWithoutNulIsReadWhole) {
    CreateKey();
    const std::string path = "D:\\data\\KEN_ALL.CSV";
    SetRaw("CSVFile1", REG_SZ, path.data(), static_cast<DWORD>(path.size()));
    PostalSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.nationwideFile, path);
}

TEST_F(SettingsStoreTest, PathsOfAnyLengthAreReadWhole) {
    CreateKey();
    for (const std::size_t length : {511, 512, 5000}) {
        const std::string path(length, 'a');
        SetString("CSVFile1", path);
        SetRaw("CSVFile2", REG_SZ, path.data(), static_cast<DWORD>(length));  // without its NUL
        PostalSettings settings;
        EXPECT_TRUE(LoadSettings(settings));
        EXPECT_EQ(settings.nationwideFile, path);
        EXPECT_EQ(settings.businessFile, path);
    }
}

TEST_F(SettingsStoreTest, DivCityOfWrongSizeIsIgnored) {
    CreateKey();
    const unsigned char eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    SetRaw("DivCity", REG_BINARY, eight, sizeof eight);
    PostalSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.divCity, 0);
    SetRaw("DivCity", REG_BINARY, eight, 2);
    LoadSettings(settings);
    EXPECT_EQ(settings.divCity, 0);
}

TEST_F(SettingsStoreTest, SaveWritesAllThreeValuesWithTheirTypes) {
    testing::ModalDriver driver;
    PostalSettings settings;
    settings.nationwideFile = "C:\\zip\\KEN_ALL.CSV";
    settings.businessFile = "";
    settings.divCity = 1;
    EXPECT_TRUE(SaveSettings(settings));
    EXPECT_TRUE(driver.MessageBoxes().empty());

    Stored csv1 = Read("CSVFile1");
    EXPECT_EQ(csv1.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(csv1.bytes.begin(), csv1.bytes.end()),
              std::string("C:\\zip\\KEN_ALL.CSV\0", 19));
    Stored csv2 = Read("CSVFile2");
    EXPECT_EQ(csv2.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(csv2.bytes.size(), 1u);  // an empty path is still written, as its NUL
    Stored div = Read("DivCity");
    EXPECT_EQ(div.type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(div.bytes.size(), 4u);
    EXPECT_EQ(div.bytes[0], 1);

    PostalSettings loaded;
    EXPECT_FALSE(LoadSettings(loaded));
    EXPECT_EQ(loaded.nationwideFile, settings.nationwideFile);
    EXPECT_EQ(loaded.divCity, 1);
}

TEST_F(SettingsStoreTest, SavingUnchangedValuesRewritesThem) {
    testing::ModalDriver driver;
    PostalSettings settings{"a.csv", "b.csv", 0};
    ASSERT_TRUE(SaveSettings(settings));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "DivCity");
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_EQ(Read("DivCity").bytes.size(), 4u);
}

TEST_F(SettingsStoreTest, KeyThatCannotBeCreatedGivesDefaultsOnLoad) {
    MakeKeyUncreatable();
    PostalSettings settings{"stale.csv", "stale2.csv", 0};
    EXPECT_FALSE(LoadSettings(settings));
    EXPECT_EQ(settings.nationwideFile, "");
    EXPECT_EQ(settings.businessFile, "");
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsStoreTest, FailedWritesShowOneMessage) {
    MakeKeyUncreatable();
    testing::ModalDriver driver;
    PostalSettings settings{"a.csv", "b.csv", 1};
    EXPECT_FALSE(SaveSettings(settings));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, kWriteFailed);
    EXPECT_TRUE(driver.MessageBoxes()[0].exclamationIcon);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, ui::ApplicationTitle());
}

}  // namespace
}  // namespace marupo
