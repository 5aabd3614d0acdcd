#pragma once
// The age of the postal-code data: Japan Post renews its files every month, and a code created
// since the user's download is simply not found. An old nationwide file is named then.

#include <string>

#include "postal/postal_file.h"
#include "settings/postal_settings.h"

namespace marupo::postal {

// Whether `data` lies more than six calendar months before `today`.
bool IsOlderThanSixMonths(const CalendarDate& data, const CalendarDate& today);

// When the nationwide file's data (a ZIP entry's date, or the CSV file's last write) lies more
// than six calendar months before `today`, the line that says so, in UTF-8:
// "郵便番号データは2024年4月のものです。新しいデータを日本郵便のページからダウンロードしてください。"
// Otherwise, or where the date cannot be told, an empty text.
std::string OldDataHint(const PostalSettings& settings, const CalendarDate& today);

}  // namespace marupo::postal
