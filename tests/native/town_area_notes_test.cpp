#include "postal/town_area_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "postal/postal_file_search.h"
#include "tests/support/sjis_text.h"

namespace marupo::postal {
namespace {

using testing::Sjis;

struct NoteCase {
    const char* street;  // UTF-8, as the file has it
    const char* city;
    const char* expected;
    std::vector<NoteRule> applied;
};

TEST(TownAreaNotesTest, EachRuleWithItsExampleAndCounterExamples) {
    using R = NoteRule;
    const NoteCase cases[] = {
        // The whole town area is a note.
        {"以下に掲載がない場合", "札幌市中央区", "", {R::kPlaceholder}},
        {"境町の次に番地がくる場合", "猿島郡境町", "", {R::kLotFollowsCity}},
        {"琴平町の次に１～４２６番地がくる場合（川東）",
         "仲多度郡琴平町",
         "川東",
         {R::kLotFollowsCity, R::kPlaceName}},
        {"利島村一円", "利島村", "", {R::kWholeCity}},
        {"粟島浦村一円", "岩船郡粟島浦村", "", {R::kWholeCity}},
        // 一円 alone is a real place of 多賀町; another city's 一円 is no note of this one.
        {"一円", "犬上郡多賀町", "一円", {}},
        {"御蔵島村一円", "利島村", "御蔵島村一円", {}},
        // Notes of the addresses the code covers.
        {"常盤（その他）", "札幌市南区", "常盤", {R::kOtherAddresses}},
        {"中央（次のビルを除く）", "仙台市青葉区", "中央", {R::kOtherAddresses}},
        {"中央ＳＳ３０住友生命仙台中央ビル（地階・階層不明）",
         "仙台市青葉区",
         "中央ＳＳ３０住友生命仙台中央ビル",
         {R::kOtherAddresses}},
        {"姉別（丁目）", "厚岸郡浜中町", "姉別", {R::kOtherAddresses}},
        {"新屋敷（番地）", "石川郡石川町", "新屋敷", {R::kOtherAddresses}},
        {"大通西（１～１９丁目）", "札幌市中央区", "大通西", {R::kLotNumbers}},
        {"協和（８８－２、２７１－１０、３４３－２、４０４－１）",
         "千歳市",
         "協和",
         {R::kLotNumbers}},
        {"某町（５丁目１番地）", "某市", "某町", {R::kLotNumbers}},
        {"土樋（１丁目「１１を除く」）", "仙台市青葉区", "土樋", {R::kLotNumbers}},
        {"竹房（４５０番地以下）", "赤穂市", "竹房", {R::kLotNumbers}},
        // Floors stay, without brackets.
        {"中央ＳＳ３０住友生命仙台中央ビル（１０階）",
         "仙台市青葉区",
         "中央ＳＳ３０住友生命仙台中央ビル１０階",
         {R::kFloor}},
        {"名駅ミッドランドスクエア（高層棟）（１０階）",
         "名古屋市中村区",
         "名駅ミッドランドスクエア高層棟１０階",
         {R::kPlaceName, R::kFloor}},
        {"花田町官有地（無番地を除く）", "豊橋市", "花田町官有地", {R::kExceptions}},
        {"立川町（立川山を含む）", "新居浜市", "立川町", {R::kExceptions}},
        {"厚内（全域）", "十勝郡浦幌町", "厚内", {R::kNoPlaceWord}},
        {"豊田（大字）", "日野市", "豊田", {R::kNoPlaceWord}},
        {"上美唄町（協和、南）", "美唄市", "上美唄町", {R::kSeveralPlaces}},
        {"留萌原野（１～１２線）", "留萌市", "留萌原野", {R::kSeveralPlaces}},
        // Names a user writes in the address.
        {"興部（新町）", "紋別郡興部町", "興部新町", {R::kPlaceName}},
        {"吉岡（成田国際空港内）", "成田市", "吉岡成田国際空港内", {R::kPlaceName}},
        {"岡崎（烏帽子「榛名湖畔」）", "吾妻郡東吾妻町", "岡崎烏帽子「榛名湖畔」", {R::kPlaceName}},
        {"切畑（長尾山「その他」）", "宝塚市", "切畑長尾山", {R::kOtherAddresses, R::kPlaceName}},
        {"美瑛原野（原野）", "上川郡美瑛町", "美瑛原野", {R::kRepeatedName}},
        // A bracket never closed stays as the file has it.
        {"協和（８８－２、", "千歳市", "協和（８８－２、", {}},
    };
    for (const NoteCase& c : cases) {
        std::vector<NoteRule> applied;
        EXPECT_EQ(TakeNotesOut(Sjis(c.street), Sjis(c.city), &applied), Sjis(c.expected))
            << c.street;
        EXPECT_EQ(applied, c.applied) << c.street;
    }
}

TEST(TownAreaNotesTest, NotesGoBeforeTheWardMovesAndOnlyFromNationwideRecords) {
    PostalSettings divCity;
    divCity.divCity = 1;
    PostalAddress placeholder{Sjis("北海道"), Sjis("札幌市中央区"), Sjis("以下に掲載がない場合")};
    FinishAddress(placeholder, PostalFileKind::kNationwide, divCity);
    EXPECT_EQ(placeholder.city, Sjis("札幌市"));
    EXPECT_EQ(placeholder.street, Sjis("中央区"));

    PostalAddress office{Sjis("東京都"), Sjis("千代田区"), Sjis("大手町（その他）")};
    FinishAddress(office, PostalFileKind::kBusiness, PostalSettings{});
    EXPECT_EQ(office.street, Sjis("大手町（その他）"));
}

}  // namespace
}  // namespace marupo::postal
