#pragma once
// The settings' home in the registry: HKEY_CURRENT_USER under the subkey of string 108, values
// "CSVFile1", "CSVFile2" and "DivCity". Read afresh each time an editor opens.

#include "settings/postal_settings.h"

namespace marupo {

// Fills `settings` from the registry, creating the key when it is missing. A missing value takes
// its default (empty path; divCity left as it is). Returns true when both paths are set.
bool LoadSettings(PostalSettings& settings);

// Writes all three values. When any write fails, shows "レジストリの書き込みに失敗しました。"
// once and returns false.
bool SaveSettings(const PostalSettings& settings);

}  // namespace marupo
