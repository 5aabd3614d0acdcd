#include <windows.h>

#include "postal/postal_data_date.h"
#include "postal/postal_file_search.h"
#include "postal/postal_search.h"
#include "text/encoding.h"
#include "ui/message_box.h"

namespace marupo {

bool SearchPostalFiles(const std::string& sevenDigits, const PostalSettings& settings,
                       postal::PostalRecords& result) {
    constexpr wchar_t kNotFound[] = L"郵便番号が見つかりませんでした。";
    switch (postal::SearchEveryRecord(sevenDigits, settings, result)) {
        case postal::SearchOutcome::kFound:
            return true;
        case postal::SearchOutcome::kNotFound: {
            // Both files were read: a code newer than the data may be why.
            const std::string hint = postal::OldDataHint(settings, postal::Today());
            ui::ShowMessage(hint.empty()
                                ? std::wstring(kNotFound)
                                : kNotFound + (L"\n" + text::MultiByteToWide(CP_UTF8, hint)));
            return false;
        }
        case postal::SearchOutcome::kNationwideUnopenable:
        case postal::SearchOutcome::kNationwideUnreadable:
            // A file that fails half-way is as unusable as one that does not open.
            ui::ShowMessage(L"CSVファイル1のオープンに失敗しました");
            break;
        case postal::SearchOutcome::kBusinessUnopenable:
        case postal::SearchOutcome::kBusinessUnreadable:
            ui::ShowMessage(L"CSVファイル2のオープンに失敗しました");
            break;
    }
    ui::ShowMessage(kNotFound);
    return false;
}

}  // namespace marupo
