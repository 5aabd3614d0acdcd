#include <gtest/gtest.h>

#include "tests/support/postal_lines.h"
#include "tests/support/sjis_text.h"
#include "tests/support/test_files.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "postal/postal_bulk_search.h"
#include "postal/postal_record.h"
#include "text/encoding.h"

namespace marupo::postal {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using testing::Jig;
using testing::Ken;
using testing::Sjis;
using testing::TempFolder;

struct SearchCase {
    const char* name;
    std::string nationwide;  // file contents in UTF-8 (converted to Shift-JIS)
    std::string business;
    std::int32_t divCity;
    std::string code;
    SearchOutcome outcome;
    std::string prefecture;  // expected, UTF-8
    std::string city;
    std::string street;
    bool utf8Edition = false;  // the nationwide file is written as it stands, in UTF-8
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<SearchCase>& param) {
    std::string name = param.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

class SearchPostalFilesTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchPostalFilesTest, FindsTheAddressAsTheFilesHoldIt) {
    const SearchCase& c = GetParam();
    TempFolder dir("marupo-search");
    PostalSettings settings;
    settings.nationwideFile =
        dir.Write("KEN_ALL.CSV", c.utf8Edition ? c.nationwide : Sjis(c.nationwide));
    settings.businessFile = dir.Write("JIGYOSYO.CSV", Sjis(c.business));
    settings.divCity = c.divCity;
    std::uint32_t number = 0;
    ASSERT_TRUE(CodeSet::Parse(c.code, number));
    for (std::size_t block : {kDefaultBlockSize, std::size_t{5}}) {
        // The result holds an earlier lookup's parts: none of them may survive.
        PostalAddress single{"stale", "stale", "stale"};
        ASSERT_EQ(SearchPostalFiles(c.code, settings, single, OpenPostalFile, block), c.outcome);
        // Looked up among other codes, in one pass, the code gives the same.
        std::vector<PostalAddress> together;
        const std::vector<SearchOutcome> outcomes = SearchPostalFilesAtOnce(
            {"0000001", c.code, c.code}, settings, RecordChoice::kFirst,
            [&](std::uint32_t code, PostalFileKind kind, PostalAddress record) {
                FinishAddress(record, kind, settings);
                if (code == number) together.push_back(record);
            },
            OpenPostalFile, block);
        ASSERT_EQ(outcomes[1], c.outcome) << "block " << block;
        ASSERT_EQ(outcomes[2], c.outcome) << "block " << block;
        if (c.outcome != SearchOutcome::kFound) continue;
        ASSERT_EQ(together.size(), 1u) << "block " << block;
        for (const PostalAddress& result : {single, together[0]}) {
            EXPECT_EQ(result.prefecture, Sjis(c.prefecture)) << "block " << block;
            EXPECT_EQ(result.city, Sjis(c.city)) << "block " << block;
            EXPECT_EQ(result.street, Sjis(c.street)) << "block " << block;
        }
    }
}

// A town area that never closes its parenthesis, one line more than a record may take.
std::string NeverClosing(bool joined) {
    std::string text;
    for (std::size_t i = 0; i <= kMaxRecordLines; ++i) {
        const std::string part = "協和（" + std::to_string(i) + "、";
        if (joined) {
            if (i < kMaxRecordLines) text += part;
        } else {
            text += Ken("0660005", "北海道", "千歳市", part);
        }
    }
    return text;
}

// A nationwide hit whose city the split leaves whole, with the town as the file has it.
SearchCase CityKeptWhole(const char* name, const std::string& code, const std::string& prefecture,
                         const std::string& city, const std::string& town) {
    return SearchCase{name,       Ken(code, prefecture, city, town),
                      "",         1,
                      code,       SearchOutcome::kFound,
                      prefecture, city,
                      town};
}

const std::string kSapporoPlaceholder =
    Ken("0600000", "北海道", "札幌市中央区", "以下に掲載がない場合");

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchPostalFilesTest,
    ::testing::Values(
        SearchCase{"nationwide hit", Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘"), "", 0,
                   "0640941", SearchOutcome::kFound, "北海道", "札幌市中央区", "旭ケ丘"},
        SearchCase{"continued town area joined",
                   Ken("0660005", "北海道", "千歳市", "協和（８８－２、２７１－１０、") +
                       Ken("0660005", "北海道", "千歳市", "３４３－２、") +
                       Ken("0660005", "北海道", "千歳市", "４０４－１）") +
                       Ken("0660005", "北海道", "千歳市", "協和（その他）"),
                   "", 0, "0660005", SearchOutcome::kFound, "北海道", "千歳市", "協和"},
        SearchCase{"line with another code ends the town area",
                   Ken("0660005", "北海道", "千歳市", "協和（８８－２、") +
                       Ken("0660006", "北海道", "千歳市", "４０４－１）"),
                   "", 0, "0660005", SearchOutcome::kFound, "北海道", "千歳市", "協和（８８－２、"},
        SearchCase{"never-closing town area stops at the bound", NeverClosing(false), "", 0,
                   "0660005", SearchOutcome::kFound, "北海道", "千歳市", NeverClosing(true)},
        SearchCase{"closed town area is not joined to the next record",
                   Ken("1000004", "東京都", "千代田区", "大手町（次のビルを除く）") +
                       Ken("1000004", "東京都", "千代田区", "大手町（地階・階層不明）"),
                   "", 0, "1000004", SearchOutcome::kFound, "東京都", "千代田区", "大手町"},
        SearchCase{"business lines are never joined", "",
                   Jig("1008799", "東京都", "千代田区", "大手町（", "１") +
                       Jig("1008799", "東京都", "千代田区", "）", "２"),
                   0, "1008799", SearchOutcome::kFound, "東京都", "千代田区", "大手町（１"},
        SearchCase{"UTF-8 edition converted",
                   Ken("0600000", "北海道", "札幌市中央区", "以下に掲載がない場合") +
                       Ken("0600042", "北海道", "札幌市中央区", "大通西（１～１９丁目）"),
                   "", 1, "0600042", SearchOutcome::kFound, "北海道", "札幌市", "中央区大通西",
                   true},
        SearchCase{"UTF-8 placeholder removed", kSapporoPlaceholder, "", 0, "0600000",
                   SearchOutcome::kFound, "北海道", "札幌市中央区", "", true},
        // Shift-JIS lines and UTF-8 lines may even share a file: each line is taken as it is.
        SearchCase{"Shift-JIS line among UTF-8 ones",
                   Sjis(Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘")) +
                       Ken("0660005", "北海道", "千歳市", "協和"),
                   "", 0, "0640941", SearchOutcome::kFound, "北海道", "札幌市中央区", "旭ケ丘",
                   true},
        SearchCase{"placeholder removed", kSapporoPlaceholder, "", 0, "0600000",
                   SearchOutcome::kFound, "北海道", "札幌市中央区", ""},
        SearchCase{"placeholder removed before the ward moves", kSapporoPlaceholder, "", 1,
                   "0600000", SearchOutcome::kFound, "北海道", "札幌市", "中央区"},
        SearchCase{"ward moved in front of the street",
                   Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘"), "", 1, "0640941",
                   SearchOutcome::kFound, "北海道", "札幌市", "中央区旭ケ丘"},
        SearchCase{"split only when divCity is exactly 1",
                   Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘"), "", 2, "0640941",
                   SearchOutcome::kFound, "北海道", "札幌市中央区", "旭ケ丘"},
        SearchCase{"Yokkaichi kept", Ken("5100000", "三重県", "四日市市", "以下に掲載がない場合"),
                   "", 1, "5100000", SearchOutcome::kFound, "三重県", "四日市市", ""},
        CityKeptWhole("Hatsukaichi kept", "7380000", "広島県", "廿日市市", "本町"),
        CityKeptWhole("Ichihara kept", "2900000", "千葉県", "市原市", "五井"),
        CityKeptWhole("Ichikawa kept", "2720000", "千葉県", "市川市", "八幡"),
        CityKeptWhole("Imaichi kept", "3211200", "栃木県", "今市市", "今市"),
        CityKeptWhole("city ending in its only shi kept", "2200000", "神奈川県", "横浜市",
                      "桜木町"),
        // A county and town name holding 市 is split like any other: the rules know no names but
        // five.
        SearchCase{"county town with shi split", Ken("0460003", "北海道", "余市郡余市町", "黒川町"),
                   "", 1, "0460003", SearchOutcome::kFound, "北海道", "余市", "郡余市町黒川町"},
        CityKeptWhole("town without shi kept", "0482200", "北海道", "磯谷郡蘭越町", "港町"),
        CityKeptWhole("shi first kept", "3214300", "栃木県", "市貝町", "市塙"),
        SearchCase{"inner shi not in the list is split",
                   Ken("9218800", "石川県", "野々市市", "本町"), "", 1, "9218800",
                   SearchOutcome::kFound, "石川県", "野々市", "市本町"},
        SearchCase{"business hit joins town and block", "",
                   Jig("1008799", "東京都", "千代田区", "大手町", "１丁目３－３"), 0, "1008799",
                   SearchOutcome::kFound, "東京都", "千代田区", "大手町１丁目３－３"},
        SearchCase{
            "business hit with ward split", Ken("0640941", "北海道", "札幌市中央区", "旭ケ丘"),
            Jig("0608406", "北海道", "札幌市中央区", "北１条西", "１丁目６番地"), 1, "0608406",
            SearchOutcome::kFound, "北海道", "札幌市", "中央区北１条西１丁目６番地"},
        SearchCase{"nationwide wins over business",
                   Ken("1000004", "東京都", "千代田区", "大手町（次のビルを除く）"),
                   Jig("1000004", "東京都", "千代田区", "丸の内", "１"), 0, "1000004",
                   SearchOutcome::kFound, "東京都", "千代田区", "大手町"},
        SearchCase{"texts taken as they stand",
                   Ken("1000001", "東京都", " 千代田区 ", "　千代田（皇居）"), "", 0, "1000001",
                   SearchOutcome::kFound, "東京都", " 千代田区 ", "　千代田皇居"},
        SearchCase{"code in another column counts",
                   "9999999,\"x\",\"1111111\",a,b,c,\"県A\",\"市A\",\"町A\",0\n" +
                       Ken("9999999", "県B", "市B", "町B"),
                   "", 0, "9999999", SearchOutcome::kFound, "県A", "市A", "町A"},
        SearchCase{"leading zeros significant", Ken("6000000", "京都府", "京都市下京区", "x"), "",
                   0, "0600000", SearchOutcome::kNotFound, "", "", ""},
        SearchCase{"substring of a longer number",
                   "01101,10600000,a,b,c,d,\"東京都\",\"港区\",\"六本木\",0\n", "", 0, "0600000",
                   SearchOutcome::kFound, "東京都", "港区", "六本木"},
        SearchCase{"code absent", Ken("0600000", "北海道", "札幌市中央区", "x"),
                   Jig("1008799", "東京都", "千代田区", "大手町", "１"), 0, "0000000",
                   SearchOutcome::kNotFound, "", "", ""},
        SearchCase{"both files empty", "", "", 0, "0600000", SearchOutcome::kNotFound, "", "", ""},
        SearchCase{
            "last line without line break",
            Ken("0600000", "北海道", "a", "b") + Ken("0640941", "北海道", "札幌市", "旭ケ丘", ""),
            "", 0, "0640941", SearchOutcome::kFound, "北海道", "札幌市", "旭ケ丘"},
        SearchCase{"LF line ends",
                   Ken("0600000", "北海道", "a", "b", "\n") +
                       Ken("0640941", "北海道", "札幌市", "旭ケ丘", "\n"),
                   "", 0, "0640941", SearchOutcome::kFound, "北海道", "札幌市", "旭ケ丘"},
        // A part whose closing comma is missing is empty, not the previous lookup's text.
        SearchCase{"line lacking the street's closing comma",
                   "01101,\"060\",\"0600000\",a,b,c,\"北海道\",\"札幌市\",\"旭ケ丘\"\r\n", "", 0,
                   "0600000", SearchOutcome::kFound, "北海道", "札幌市", ""},
        SearchCase{"line with only the code", "0600000\r\n", "", 0, "0600000",
                   SearchOutcome::kFound, "", "", ""},
        SearchCase{"business line lacking the block's closing comma", "",
                   "1008799,a,b,\"東京都\",\"千代田区\",\"大手町\",\"１丁目\"\r\n", 0, "1008799",
                   SearchOutcome::kFound, "東京都", "千代田区", "大手町"},
        // Quotes are removed only where they are: a file saved without them keeps every byte.
        SearchCase{"unquoted columns", "01101,060,0600000,a,b,c,北海道,札幌市,旭ケ丘,0\r\n", "", 0,
                   "0600000", SearchOutcome::kFound, "北海道", "札幌市", "旭ケ丘"},
        SearchCase{"empty columns", "01101,060,0600000,a,b,c,,\"\",,0\r\n", "", 0, "0600000",
                   SearchOutcome::kFound, "", "", ""}),
    CaseName);

TEST(SearchPostalFilesTest, FileFailuresAreReportedPerFile) {
    TempFolder dir("marupo-search");
    const std::string present = dir.Write("KEN_ALL.CSV", Sjis(Ken("0600000", "北海道", "a", "b")));
    const std::string business =
        dir.Write("JIGYOSYO.CSV", Sjis(Jig("1008799", "東", "千", "大", "１")));
    const std::string missing = dir.Path("missing.csv");
    fs::create_directories(dir.Path("folder.csv"));
    const std::string folder = dir.Path("folder.csv");
    struct FileCase {
        std::string nationwide;
        std::string business;
        std::string code;
        SearchOutcome outcome;
    };
    const FileCase cases[] = {
        {"", business, "0600000", SearchOutcome::kNationwideUnopenable},
        {missing, business, "1008799", SearchOutcome::kNationwideUnopenable},
        {folder, business, "1008799", SearchOutcome::kNationwideUnopenable},
        {present, "", "1008799", SearchOutcome::kBusinessUnopenable},
        {present, missing, "1008799", SearchOutcome::kBusinessUnopenable},
        {present, folder, "1008799", SearchOutcome::kBusinessUnopenable},
        // The business file is not needed, so it is never opened.
        {present, missing, "0600000", SearchOutcome::kFound},
        {present, business, "1008799", SearchOutcome::kFound},
    };
    for (const FileCase& c : cases) {
        PostalSettings settings{c.nationwide, c.business, 0};
        PostalAddress result{"stale", "stale", "stale"};
        EXPECT_EQ(SearchPostalFiles(c.code, settings, result), c.outcome)
            << c.nationwide << " | " << c.business << " | " << c.code;
        if (c.outcome != SearchOutcome::kFound) {
            EXPECT_EQ(result.prefecture + result.city + result.street, "");
        }
    }
}

// Opens real files but can make reads fail part-way and records which paths were opened.
class RecordingFile final : public PostalFile {
  public:
    RecordingFile(std::unique_ptr<PostalFile> inner, bool failReads)
        : inner_(std::move(inner)), failReads_(failReads) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (failReads_ && reads_++ > 0) return -1;
        return inner_->Read(buffer, size);
    }

  private:
    std::unique_ptr<PostalFile> inner_;
    bool failReads_;
    int reads_ = 0;
};

TEST(SearchPostalFilesTest, ReadErrorEndsTheRequestWithoutResult) {
    TempFolder dir("marupo-search");
    std::string big;
    for (int i = 0; i < 200; ++i) big += Ken("0010000", "北海道", "a", "b");
    PostalSettings settings{
        dir.Write("KEN_ALL.CSV", Sjis(big)),
        dir.Write("JIGYOSYO.CSV", Sjis(big + Jig("1008799", "東", "千", "大", "１"))), 0};
    std::vector<std::string> opened;
    std::string failing;
    const FileOpener opener = [&](const std::string& path) -> std::unique_ptr<PostalFile> {
        opened.push_back(path);
        return std::make_unique<RecordingFile>(OpenPostalFile(path), path == failing);
    };
    PostalAddress result;
    failing = settings.nationwideFile;
    EXPECT_EQ(SearchPostalFiles("1008799", settings, result, opener, 1024),
              SearchOutcome::kNationwideUnreadable);
    EXPECT_EQ(opened, std::vector<std::string>{settings.nationwideFile});
    failing = settings.businessFile;
    EXPECT_EQ(SearchPostalFiles("1008799", settings, result, opener, 1024),
              SearchOutcome::kBusinessUnreadable);
    failing.clear();
    opened.clear();
    EXPECT_EQ(SearchPostalFiles("1008799", settings, result, opener, 1024), SearchOutcome::kFound);
    EXPECT_EQ(opened, (std::vector<std::string>{settings.nationwideFile, settings.businessFile}));

    // Looked up together, each code fares as alone: the first line was read before the error.
    failing = settings.nationwideFile;
    const std::vector<std::string> codes = {"0010000", "1008799"};
    const std::vector<SearchOutcome> together = SearchPostalFilesAtOnce(
        codes, settings, RecordChoice::kFirst,
        [](std::uint32_t, PostalFileKind, const PostalAddress&) {}, opener, 1024);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(together[i], SearchPostalFiles(codes[i], settings, result, opener, 1024))
            << codes[i];
    }
    EXPECT_EQ(together[0], SearchOutcome::kFound);
}

TEST(SearchPostalFilesTest, DamagedBytesGiveADefinedResult) {
    TempFolder dir("marupo-search");
    // NUL bytes before the code and inside the town; a lead byte glued to a digit that hides a
    // first occurrence; a truncated double-byte character at the very end of the file.
    const std::string content =
        "x\x81"
        "0600000,never\r\n"s +
        "01101,\0,\"0600000\",a,b,c,\"\x96\x6B\",\"\x8E\x44\",\"A\0B\",0\r\n"s + "0,\x8E"s;
    PostalSettings settings{dir.Write("KEN_ALL.CSV", content), dir.Write("J.CSV", ""), 0};
    PostalAddress result;
    ASSERT_EQ(SearchPostalFiles("0600000", settings, result), SearchOutcome::kFound);
    EXPECT_EQ(result.prefecture, "\x96\x6B");
    EXPECT_EQ(result.city, "\x8E\x44");
    EXPECT_EQ(result.street, "A\0B"s);
    // Nothing but the truncated line holds this code.
    const std::string truncated = "0,1234567\x8E";
    settings.nationwideFile = dir.Write("T.CSV", truncated);
    EXPECT_EQ(SearchPostalFiles("1234567", settings, result), SearchOutcome::kFound);
    EXPECT_EQ(result.street, "");
}

TEST(SearchPostalFilesTest, MegabyteLinesYieldTheirColumns) {
    TempFolder dir("marupo-search");
    // A line of several megabytes holding the code at its end, with its columns in the start that
    // the search keeps of it; and a street of megabytes, capped.
    const std::string filler(3 * 1024 * 1024, 'x');
    const std::string longLine = "01101,\"060\",\"x\",a,b,c,\"" + Sjis("北海道") + "\",\"" +
                                 Sjis("札幌市") + "\",\"" + Sjis("旭ケ丘") + "\"," + filler +
                                 ",0600000\r\n";
    std::string hugeStreet;
    for (std::size_t i = 0; i < 1024 * 1024; ++i) hugeStreet += Sjis("丘");
    const std::string hugeLine = "01101,\"064\",\"0640941\",a,b,c,\"" + Sjis("北海道") + "\",\"" +
                                 Sjis("札幌市") + "\",\"" + hugeStreet + "\",0\r\n";
    PostalSettings settings{
        dir.Write("KEN_ALL.CSV", Ken("0010000", "a", "b", "c") + longLine + hugeLine),
        dir.Write("J.CSV", ""), 0};
    PostalAddress result;
    ASSERT_EQ(SearchPostalFiles("0600000", settings, result), SearchOutcome::kFound);
    EXPECT_EQ(result.prefecture, Sjis("北海道"));
    EXPECT_EQ(result.city, Sjis("札幌市"));
    EXPECT_EQ(result.street, Sjis("旭ケ丘"));
    ASSERT_EQ(SearchPostalFiles("0640941", settings, result), SearchOutcome::kFound);
    EXPECT_EQ(result.city, Sjis("札幌市"));
    EXPECT_EQ(result.street.size(), kMaxColumnBytes);
    EXPECT_EQ(result.street, hugeStreet.substr(0, kMaxColumnBytes));
}

TEST(SplitDesignatedCityTest, MovesOnlyTheTailBehindTheFirstShi) {
    struct SplitCase {
        std::string city, street, expectedCity, expectedStreet;
    };
    const SplitCase cases[] = {
        {"札幌市中央区", "旭ケ丘", "札幌市", "中央区旭ケ丘"},
        {"札幌市中央区", "", "札幌市", "中央区"},
        {"横浜市", "x", "横浜市", "x"},
        {"市", "x", "市", "x"},
        {"", "x", "", "x"},
        {"四日市市", "x", "四日市市", "x"},
        {"四日市市中央区", "x", "四日市", "市中央区x"},  // not the exception name as a whole
    };
    for (const SplitCase& c : cases) {
        PostalAddress address{"", Sjis(c.city), Sjis(c.street)};
        SplitDesignatedCity(address);
        EXPECT_EQ(address.city, Sjis(c.expectedCity)) << c.city;
        EXPECT_EQ(address.street, Sjis(c.expectedStreet)) << c.city;
    }
    // 0x8E 0x8E 0x73: a byte search would find 市 in the middle of the first character.
    PostalAddress tricky{"", "\x8E\x8E\x73\x8E\x73\x8B\xE6", "x"};
    SplitDesignatedCity(tricky);
    EXPECT_EQ(tricky.city, "\x8E\x8E\x73\x8E\x73");
    EXPECT_EQ(tricky.street, "\x8B\xE6x");
}

}  // namespace
}  // namespace marupo::postal
