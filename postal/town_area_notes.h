#pragma once
// The notes that Japan Post writes into the town areas of the nationwide file, taken out of the
// street by one table of rules (docs/lookup.md lists each rule with its count over the full-size
// file). A note says which addresses a code covers; it is no part of an address. Names inside
// the brackets that a user writes in the address stay. Texts are Shift-JIS.

#include <string>
#include <string_view>
#include <vector>

namespace marupo::postal {

// The town-area text Japan Post puts where a code has no town area of its own.
inline constexpr char kNoTownArea[] =
    "\x88\xC8\x89\xBA\x82\xC9\x8C\x66\x8D\xDA\x82\xAA\x82\xC8\x82\xA2\x8F\xEA\x8D\x87";  // 以下に掲載がない場合

// The rows of the table, in the order they are tried.
enum class NoteRule {
    // The whole town area is a note: the street becomes empty.
    kPlaceholder,     // 以下に掲載がない場合
    kLotFollowsCity,  // 境町の次に番地がくる場合
    kWholeCity,       // 利島村一円, for the city 利島村 (a county before it is left out)
    // A bracketed note, removed with its brackets.
    kOtherAddresses,  // （その他） （次のビルを除く） （地階・階層不明） （丁目） （番地）
    kLotNumbers,  // （１～１９丁目） （５丁目１番地）: numbers, ranges, lists, 丁目 番地 番 号
    kFloor,          // （１０階） stays as １０階, without its brackets
    kExceptions,     // （無番地を除く） （立川山を含む） （…以外）
    kNoPlaceWord,    // （大字） （全域）
    kSeveralPlaces,  // （協和、南） （１～１２線）: a list or range of places
    kPlaceName,      // （新町） joins the town area: 興部新町
    kRepeatedName,   // （原野） after 美瑛原野: the town area already ends with it
};

// The street of a nationwide record with its notes taken out. `city` is the record's city as
// the file has it. A bracket that is not closed is kept as it stands. When `applied` is given,
// each rule that changed the street is added to it once.
std::string TakeNotesOut(std::string_view street, std::string_view city,
                         std::vector<NoteRule>* applied = nullptr);

}  // namespace marupo::postal
