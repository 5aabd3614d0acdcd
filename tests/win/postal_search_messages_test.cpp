// The search as the editor runs it: message boxes for files that cannot be opened and for codes
// not found, naming old data, and the exclusive open of the postal-code files.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "postal/postal_search.h"
#include "tests/support/modal_driver.h"
#include "tests/support/postal_lines.h"
#include "tests/support/sjis_text.h"
#include "tests/support/test_files.h"
#include "ui/module_state.h"

namespace marupo {
namespace {

constexpr wchar_t kNationwideFailed[] = L"CSVファイル1のオープンに失敗しました";
constexpr wchar_t kBusinessFailed[] = L"CSVファイル2のオープンに失敗しました";
constexpr wchar_t kNotFound[] = L"郵便番号が見つかりませんでした。";

using testing::Sjis;

// Holds a file open the way another program might, for as long as it lives.
class HeldFile {
  public:
    HeldFile(const std::string& path, DWORD shareMode)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

class PostalSearchMessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::SetAddinModule(GetModuleHandleW(nullptr));
        settings_.nationwideFile = folder_.Write(
            "KEN_ALL.CSV", Sjis(testing::Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘")));
        settings_.businessFile = folder_.Write(
            "JIGYOSYO.CSV",
            Sjis(testing::Jig("1008799", "東京都", "千代田区", "大手町", "１丁目３－３")));
    }

    testing::TempFolder folder_{"marupo-search-win"};
    PostalSettings settings_;
};

TEST_F(PostalSearchMessagesTest, FoundCodesShowNoMessage) {
    testing::ModalDriver driver;
    postal::PostalRecords result;
    ASSERT_TRUE(SearchPostalFiles("0640941", settings_, result));
    EXPECT_EQ(result.records.at(0).city, Sjis("札幌市中央区"));
    ASSERT_TRUE(SearchPostalFiles("1008799", settings_, result));
    EXPECT_EQ(result.records.at(0).street, Sjis("大手町１丁目３－３"));
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(PostalSearchMessagesTest, CodeInNeitherFileNamesNationwideDataOverSixMonthsOld) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    const auto monthsAgo = [&](int months) {
        const int index = today.wYear * 12 + today.wMonth - 1 - months;
        SYSTEMTIME day{};
        day.wYear = static_cast<WORD>(index / 12);
        day.wMonth = static_cast<WORD>(index % 12 + 1);
        day.wDay = 1;
        day.wHour = 12;
        return day;
    };
    const struct {
        int monthsAgo;
        bool named;
    } cases[] = {{0, false}, {5, false}, {7, true}, {30, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.monthsAgo);
        const SYSTEMTIME written = monthsAgo(c.monthsAgo);
        FILETIME local;
        FILETIME utc;
        SystemTimeToFileTime(&written, &local);
        LocalFileTimeToFileTime(&local, &utc);
        HANDLE file = CreateFileA(settings_.nationwideFile.c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
        CloseHandle(file);
        testing::ModalDriver driver;
        postal::PostalRecords result;
        EXPECT_FALSE(SearchPostalFiles("0000000", settings_, result));
        const std::wstring hint = L"\n郵便番号データは" + std::to_wstring(written.wYear) + L"年" +
                                  std::to_wstring(written.wMonth) +
                                  L"月のものです。新しいデータを日本郵便のページからダ"
                                  L"ウンロードしてください。";
        EXPECT_EQ(driver.MessageTexts(),
                  std::vector<std::wstring>{kNotFound + (c.named ? hint : L"")});
    }
}

TEST_F(PostalSearchMessagesTest, NationwideFileThatCannotBeOpenedIsReportedOnce) {
    const std::string missing = folder_.Path("missing.csv");
    for (const std::string& path : {std::string(), missing, folder_.Folder().string()}) {
        testing::ModalDriver driver;
        PostalSettings settings = settings_;
        settings.nationwideFile = path;
        postal::PostalRecords result;
        // The business file holds the code, but is not tried.
        EXPECT_FALSE(SearchPostalFiles("1008799", settings, result)) << path;
        ASSERT_EQ(driver.MessageBoxes().size(), 2u) << path;
        const testing::RecordedMessageBox& box = driver.MessageBoxes()[0];
        EXPECT_EQ(box.text, kNationwideFailed);
        EXPECT_EQ(box.caption, L"win_postal_search_messages_test");
        EXPECT_TRUE(box.exclamationIcon);
        EXPECT_TRUE(box.onlyOkButton);
        EXPECT_EQ(driver.MessageBoxes()[1].text, kNotFound);
    }
}

TEST_F(PostalSearchMessagesTest, BusinessFileIsReportedOnlyWhenItIsNeeded) {
    PostalSettings settings = settings_;
    settings.businessFile.clear();
    postal::PostalRecords result;
    {
        testing::ModalDriver driver;
        EXPECT_TRUE(SearchPostalFiles("0640941", settings, result));
        EXPECT_TRUE(driver.MessageBoxes().empty());
    }
    testing::ModalDriver driver;
    EXPECT_FALSE(SearchPostalFiles("1008799", settings, result));
    EXPECT_EQ(driver.MessageTexts(), (std::vector<std::wstring>{kBusinessFailed, kNotFound}));
}

TEST_F(PostalSearchMessagesTest, FileHeldOpenByAnotherProgramCannotBeSearched) {
    postal::PostalRecords result;
    // Held exclusively, or even shared for reading: the search asks for sole access.
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        testing::ModalDriver driver;
        HeldFile held(settings_.nationwideFile, share);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(SearchPostalFiles("0640941", settings_, result)) << share;
        EXPECT_EQ(driver.MessageTexts(), (std::vector<std::wstring>{kNationwideFailed, kNotFound}));
    }
    {
        testing::ModalDriver driver;
        HeldFile held(settings_.businessFile, 0);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(SearchPostalFiles("1008799", settings_, result));
        EXPECT_EQ(driver.MessageTexts(), (std::vector<std::wstring>{kBusinessFailed, kNotFound}));
    }
    // Released again, and the search leaves no handle behind: another program can open it.
    testing::ModalDriver driver;
    EXPECT_TRUE(SearchPostalFiles("1008799", settings_, result));
    HeldFile after(settings_.nationwideFile, 0);
    EXPECT_TRUE(after.IsOpen());
    HeldFile afterBusiness(settings_.businessFile, 0);
    EXPECT_TRUE(afterBusiness.IsOpen());
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(PostalSearchMessagesTest, ReadOnlyFilesAreSearched) {
    ASSERT_TRUE(SetFileAttributesA(settings_.nationwideFile.c_str(), FILE_ATTRIBUTE_READONLY));
    testing::ModalDriver driver;
    postal::PostalRecords result;
    EXPECT_TRUE(SearchPostalFiles("0640941", settings_, result));
    SetFileAttributesA(settings_.nationwideFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

}  // namespace
}  // namespace marupo
