#pragma once
// The postal-code file search as the add-in runs it: on the user-interface thread, reporting
// every failure in message boxes.

#include <string>

#include "postal/postal_file_search.h"
#include "settings/postal_settings.h"

namespace marupo {

// Looks the seven digits up in the nationwide file, then in the business-office file, reading
// every record of the code in one pass over each. Returns true and fills `result` when a line
// for the code was found. Otherwise shows "CSVファイル1のオープンに失敗しました" or
// "CSVファイル2のオープンに失敗しました" for a file that could not be opened or read, then
// "郵便番号が見つかりませんでした。", with a second line naming the data's month when both files
// were read and the nationwide data is over six months old, and returns false.
bool SearchPostalFiles(const std::string& sevenDigits, const PostalSettings& settings,
                       postal::PostalRecords& result);

}  // namespace marupo
