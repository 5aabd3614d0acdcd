#include "module/about_dialog.h"

#include <filesystem>

#include "res/about_dialog.h"
#include "res/strings.h"
#include "ui/module_state.h"
#include "ui/shell_open.h"
#include "ui/window_text.h"
#include "win/module_path.h"

namespace marupo {
namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr int kLinkFontHeight = 12;

bool IsControlColourMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {
    OnCommand(IDC_ABOUT_LINK, STN_CLICKED, &AboutDialog::OpenGuide);
}

void AboutDialog::Show() {
    ui::AddinModuleScope scope;
    AboutDialog dialog;
    dialog.versionText = ui::LoadAnsiString(IDS_VERSION);
    dialog.DoModal();
}

void AboutDialog::ExchangeData(ui::DataExchange& dx) {
    dx.Text(IDC_ABOUT_VERSION, versionText);
}

bool AboutDialog::OnInitDialog() {
    UpdateData(false);
    linkFont_.Reset(CreateFontW(kLinkFontHeight, 0, 0, 0, FW_DONTCARE, FALSE, TRUE, FALSE,
                                SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
    SendMessageA(Item(IDC_ABOUT_LINK), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.Get()), TRUE);
    return true;
}

bool AboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (IsControlColourMessage(message)) {
        // Only the link's text colour changes; the brush stays the dialog's own.
        result = DefaultHandling(message, wParam, lParam);
        if (reinterpret_cast<HWND>(lParam) == Item(IDC_ABOUT_LINK))
            SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
        return true;
    }
    if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == Item(IDC_ABOUT_LINK)) {
        ui::AddinModuleScope scope;
        SetCursor(ui::SharedCursorResource(IDC_HAND_CURSOR));
        result = TRUE;
        return true;
    }
    return false;
}

// The guide that the installer and the zip put beside the DLL; where it is missing (a DLL copied
// on its own), Japan Post's download page, which the user needs first anyway.
void AboutDialog::OpenGuide() {
    ui::AddinModuleScope scope;
    std::filesystem::path guide = win::ModuleFileName(ui::AddinModule());
    guide.replace_filename(ui::LoadWideString(IDS_GUIDE_FILE));
    std::error_code error;
    ui::OpenInShell(Handle(), std::filesystem::is_regular_file(guide, error)
                                  ? ui::WideToAnsi(guide.wstring())
                                  : ui::LoadAnsiString(IDS_DOWNLOAD_PAGE_URL));
}

}  // namespace marupo
