#include "postal/postal_data_date.h"

#include <memory>
#include <optional>
#include <tuple>

namespace marupo::postal {

bool IsOlderThanSixMonths(const CalendarDate& data, const CalendarDate& today) {
    // Six months on from the data's day; a day past a short month's end still compares right.
    const int months = data.year * 12 + data.month - 1 + 6;
    return std::make_tuple(months / 12, months % 12 + 1, data.day) <
           std::make_tuple(today.year, today.month, today.day);
}

std::string OldDataHint(const PostalSettings& settings, const CalendarDate& today) {
    std::unique_ptr<PostalFile> file = OpenPostalFile(settings.nationwideFile);
    if (!file) return {};
    const std::optional<CalendarDate> date = file->Date();
    if (!date || !IsOlderThanSixMonths(*date, today)) return {};
    return "郵便番号データは" + std::to_string(date->year) + "年" + std::to_string(date->month) +
           "月のものです。新しいデータを日本郵便のページからダウンロードしてください。";
}

}  // namespace marupo::postal
