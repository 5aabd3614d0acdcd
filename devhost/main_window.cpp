#include "devhost/main_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include "devhost/book_file.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {
namespace {

constexpr wchar_t kClassName[] = L"MarupoDevHostWindow";
constexpr wchar_t kTitle[] = L"DevHost アドレス帳";
constexpr int kCategoryId = 100, kListId = 101, kStatusId = 102;
constexpr UINT kOpenId = 1001, kSaveId = 1002, kSaveAsId = 1003, kExitId = 1004;
constexpr UINT kShowPrivateId = 1101, kNoCommandsId = 1201;
constexpr int kAddressMenuPosition = 1;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}
std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

HMENU BuildMenuBar(HMENU* viewMenu) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kOpenId, L"開く(&O)...");
    AppendMenuW(file, MF_STRING, kSaveId, L"上書き保存(&S)");
    AppendMenuW(file, MF_STRING, kSaveAsId, L"名前を付けて保存(&A)...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kExitId, L"終了(&X)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"アドレス(&A)");
    *viewMenu = CreatePopupMenu();
    AppendMenuW(*viewMenu, MF_STRING, kShowPrivateId, L"プライベートデータの表示(&P)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(*viewMenu), L"表示(&V)");
    return bar;
}

}  // namespace

MainWindow::MainWindow(std::shared_ptr<HostState> state, AddinHost& addins)
    : state_(std::move(state)), addins_(addins) {}

MainWindow::~MainWindow() {
    state_->menuChanged = nullptr;
    state_->bookChanged = nullptr;
    if (window_ != nullptr) DestroyWindow(window_);
}

bool MainWindow::Create(bool show) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second window is made

    window_ =
        CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        900, 600, nullptr, BuildMenuBar(&viewMenu_), instance, this);
    if (window_ == nullptr) return false;
    state_->menuChanged = [this] { RebuildAddressMenu(); };
    state_->bookChanged = [this] { Refresh(); };
    RebuildAddressMenu();
    Refresh();
    if (show) {
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
    }
    return true;
}

HMENU MainWindow::AddressMenu() const {
    return window_ != nullptr ? GetSubMenu(GetMenu(window_), kAddressMenuPosition) : nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<MainWindow*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateChildren();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCategoryId) {
                if (HIWORD(wParam) == CBN_SELCHANGE) OnCategoryChosen();
                return 0;
            }
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == kListId && header->code == LVN_ITEMCHANGED && !refreshing_) {
                auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
                if ((change->uChanged & LVIF_STATE) != 0) TakeSelectionFromList();
            }
            return 0;
        }
        case WM_MENUSELECT: {
            std::wstring description;
            for (const auto& item : state_->menuItems) {
                if (item.commandId == static_cast<long>(LOWORD(wParam))) {
                    description = Wide(item.Description());
                }
            }
            SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(description.c_str()));
            return 0;
        }
        case WM_CLOSE:
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            state_->menuChanged = nullptr;
            state_->bookChanged = nullptr;
            window_ = nullptr;
            if (quitOnClose_) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::CreateChildren() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    categories_ = CreateWindowExW(0, WC_COMBOBOXW, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 0, 0,
                                  window_, reinterpret_cast<HMENU>(kCategoryId), instance, nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                            window_, reinterpret_cast<HMENU>(kListId), instance, nullptr);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                              window_, reinterpret_cast<HMENU>(kStatusId), instance, nullptr);
    SendMessageW(categories_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"ID", 40},       {L"姓", 90},    {L"名", 90},       {L"会社", 150},
                   {L"郵便番号", 80}, {L"住所", 250}, {L"カテゴリ", 80}, {L"P", 30}};
    int index = 0;
    for (const auto& column : columns) {
        LVCOLUMNW lv = {};
        lv.mask = LVCF_TEXT | LVCF_WIDTH;
        lv.pszText = const_cast<wchar_t*>(column.title);
        lv.cx = column.width;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                     reinterpret_cast<LPARAM>(&lv));
    }
}

void MainWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(status_, &statusRect);
    int statusHeight = statusRect.bottom - statusRect.top;
    MoveWindow(categories_, 8, 8, 200, 300, TRUE);
    MoveWindow(list_, 0, 40, client.right, client.bottom - 40 - statusHeight, TRUE);
}

void MainWindow::RebuildAddressMenu() {
    HMENU menu = AddressMenu();
    if (menu == nullptr) return;
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    for (const auto& item : state_->menuItems) {
        std::wstring text = Wide(item.ItemText());
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
        info.wID = static_cast<UINT>(item.commandId);
        info.dwTypeData = text.data();
        info.hbmpItem = item.bitmap ? item.bitmap->Get() : nullptr;
        InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
    }
    if (state_->menuItems.empty()) {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, kNoCommandsId,
                    L"(アドインのコマンドはありません)");
    }
    DrawMenuBar(window_);
}

std::string MainWindow::DescribeAddressMenu() const {
    std::string lines;
    HMENU menu = AddressMenu();
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string line = std::to_string(info.wID) + " " + QuoteText(U16(text));
        BITMAP bitmap = {};
        if (info.hbmpItem != nullptr && GetObjectW(info.hbmpItem, sizeof bitmap, &bitmap) != 0) {
            line +=
                " bitmap " + std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight);
        } else {
            line += " bitmap none";
        }
        if ((info.fState & MFS_GRAYED) != 0) line += " grayed";
        lines += line + "\n";
    }
    return lines;
}

void MainWindow::Refresh() {
    if (window_ == nullptr) return;
    refreshing_ = true;
    const Book& book = state_->book;
    SendMessageW(categories_, CB_RESETCONTENT, 0, 0);
    SendMessageW(categories_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"All"));
    int chosen = 0;
    for (size_t i = 0; i < book.Categories().size(); ++i) {
        std::wstring name = Wide(book.Categories()[i]);
        SendMessageW(categories_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (book.Categories()[i] == book.ViewCategory()) chosen = static_cast<int>(i) + 1;
    }
    SendMessageW(categories_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);

    ListView_DeleteAllItems(list_);
    int row = 0;
    for (const auto& record : book.VisibleRecords()) {
        std::wstring id = std::to_wstring(record->id);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = id.data();
        item.lParam = record->id;
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        std::wstring cells[] = {Wide(record->surname),
                                Wide(record->givenName),
                                Wide(record->company),
                                Wide(record->postalCode),
                                Wide(record->prefecture + record->city + record->street),
                                Wide(record->category),
                                record->privateFlag == 1 ? L"P" : L""};
        for (int column = 0; column < 7; ++column) {
            LVITEMW cell = {};
            cell.iSubItem = column + 1;
            cell.pszText = cells[column].data();
            SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&cell));
        }
        for (int selected : book.Selection()) {
            if (selected == record->id)
                ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
        }
        ++row;
    }
    CheckMenuItem(viewMenu_, kShowPrivateId,
                  book.PrivateDisplayMode() == kPrivateRecordsShown ? MF_CHECKED : MF_UNCHECKED);
    refreshing_ = false;
}

void MainWindow::OnCommand(UINT id) {
    switch (id) {
        case kOpenId:
            return OpenBook();
        case kSaveId:
            return SaveBook(bookPath_.empty());
        case kSaveAsId:
            return SaveBook(true);
        case kExitId:
            DestroyWindow(window_);
            return;
        case kShowPrivateId:
            state_->book.SetPrivateDisplayMode(
                state_->book.PrivateDisplayMode() == kPrivateRecordsShown ? kPrivateRecordsHidden
                                                                          : kPrivateRecordsShown);
            Refresh();
            return;
        default:
            if (state_->FindCommand(static_cast<long>(id)) != nullptr) {
                addins_.Invoke(static_cast<long>(id));
                Refresh();
            }
    }
}

void MainWindow::OnCategoryChosen() {
    auto index = SendMessageW(categories_, CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    state_->book.SetViewCategory(index == 0
                                     ? std::u16string(kAllCategories)
                                     : state_->book.Categories()[static_cast<size_t>(index - 1)]);
    Refresh();
}

void MainWindow::TakeSelectionFromList() {
    // The host's order of a selection is the order of the list.
    std::vector<int> ids;
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ids.push_back(static_cast<int>(item.lParam));
    }
    state_->book.SetSelection(ids);
}

std::wstring MainWindow::AskBookPath(bool save) const {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    if (save) {
        dialog.lpstrFilter = L"アドレス帳 (*.txt)\0*.txt\0";
        dialog.lpstrDefExt = L"txt";
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
        if (!GetSaveFileNameW(&dialog)) return {};
    } else {
        dialog.lpstrFilter = L"アドレス帳 (*.txt)\0*.txt\0すべてのファイル\0*.*\0";
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameW(&dialog)) return {};
    }
    return path;
}

void MainWindow::ShowFailure(const Status& failure) const {
    std::wstring message = Wide(*FromUtf8(failure.Message()));
    MessageBoxW(window_, message.c_str(), kTitle, MB_OK | MB_ICONEXCLAMATION);
}

void MainWindow::OpenBook() {
    std::wstring path = AskBookPath(false);
    if (path.empty()) return;
    auto loaded = LoadBookFile(ToUtf8(U16(path)));
    if (!loaded.Ok()) return ShowFailure(loaded.GetStatus());
    state_->book = std::move(*loaded);
    bookPath_ = path;
    Refresh();
}

void MainWindow::SaveBook(bool askPath) {
    std::wstring target = bookPath_;
    if (askPath || target.empty()) {
        target = AskBookPath(true);
        if (target.empty()) return;
    }
    if (Status saved = SaveBookFile(state_->book, ToUtf8(U16(target))); !saved.Ok()) {
        return ShowFailure(saved);
    }
    bookPath_ = target;
}

}  // namespace marupo::devhost
