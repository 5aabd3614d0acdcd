#include "postal/postal_search.h"
#include "ui/message_box.h"

namespace marupo {

bool SearchPostalFiles(const std::string& sevenDigits, const PostalSettings& settings,
                       postal::PostalRecords& result) {
    switch (postal::SearchEveryRecord(sevenDigits, settings, result)) {
        case postal::SearchOutcome::found:
            return true;
        case postal::SearchOutcome::notFound:
            return false;
        case postal::SearchOutcome::nationwideUnopenable:
        case postal::SearchOutcome::nationwideUnreadable:
            // A file that fails half-way is as unusable as one that does not open.
            ui::ShowMessage(L"CSVファイル1のオープンに失敗しました");
            return false;
        case postal::SearchOutcome::businessUnopenable:
        case postal::SearchOutcome::businessUnreadable:
            ui::ShowMessage(L"CSVファイル2のオープンに失敗しました");
            return false;
    }
    return false;
}

}  // namespace marupo
