#pragma once
// The postal-code file search as the add-in runs it: on the user-interface thread, reporting a
// file that cannot be opened or read in a message box.

#include <string>

#include "postal/postal_file_search.h"
#include "settings/postal_settings.h"

namespace marupo {

// Looks the seven digits up in the nationwide file, then in the business-office file, reading
// every record of the code in one pass over each. Returns true and fills `result` when a line
// for the code was found. Returns false when neither file holds it (no message; the caller
// reports that) or after showing "CSVファイル1のオープンに失敗しました" or
// "CSVファイル2のオープンに失敗しました" for the file that could not be opened or read.
bool SearchPostalFiles(const std::string& sevenDigits, const PostalSettings& settings,
                       postal::PostalRecords& result);

}  // namespace marupo
