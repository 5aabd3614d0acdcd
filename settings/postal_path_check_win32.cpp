#include <windows.h>

#include "postal/postal_data_kind.h"
#include "settings/postal_path_check.h"
#include "ui/window_text.h"

namespace marupo {
namespace {

// The long form of a full path: its folders as they are named, not by their 8.3 short names.
// The part that does not exist (any more) is kept as given behind the part that does.
std::wstring LongPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    std::wstring missing;
    while (!full.empty()) {
        size = GetLongPathNameW(full.c_str(), nullptr, 0);
        if (size != 0) {
            std::wstring existing(size, L'\0');
            existing.resize(GetLongPathNameW(full.c_str(), existing.data(), size));
            return existing + missing;
        }
        const std::size_t slash = full.find_last_of(L"\\/");
        if (slash == std::wstring::npos) break;
        missing.insert(0, full, slash, std::wstring::npos);
        full.erase(slash);
    }
    return full + missing;
}

bool InTemporaryFolder(const std::wstring& path) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return false;
    std::wstring folder = LongPath(temp);
    if (folder.empty()) return false;
    if (folder.back() != L'\\') folder += L'\\';
    const std::wstring candidate = LongPath(path);
    return candidate.size() > folder.size() &&
           CompareStringOrdinal(candidate.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

const wchar_t* SlotName(PostalSlot slot) {
    return slot == PostalSlot::kNationwide ? L"全国一括住所" : L"事業所個別";
}

}  // namespace

std::wstring CheckPostalPath(PostalSlot slot, const std::string& path) {
    const std::wstring slotName = SlotName(slot);
    if (InTemporaryFolder(ui::AnsiToWide(path))) {
        return slotName +
               L"のファイルは一時フォルダーの中にあり、Windows によって削除されます。"
               L"ダウンロードした ZIP ファイルそのもの、または展開したファイルを選んでください。";
    }
    switch (postal::TellPostalDataKind(path)) {
        case postal::PostalDataKind::kUnreadable:
            return {};
        case postal::PostalDataKind::kNationwide:
            if (slot == PostalSlot::kNationwide) return {};
            return slotName +
                   L"のファイルに住所の郵便番号データが選ばれています。jigyosyo.zip "
                   L"を選んでください。";
        case postal::PostalDataKind::kBusiness:
            if (slot == PostalSlot::kBusiness) return {};
            return slotName +
                   L"のファイルに事業所の郵便番号データが選ばれています。utf_ken_all.zip "
                   L"または ken_all.zip を選んでください。";
        case postal::PostalDataKind::kOther:
            break;
    }
    return slotName +
           L"のファイルは郵便番号データではないようです。"
           L"日本郵便のページからダウンロードしたファイルを選んでください。";
}

}  // namespace marupo
