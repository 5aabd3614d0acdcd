#pragma once
// The window a person uses: the view's category selector ("All" first), the list of the
// records the view shows, the Address menu with the add-ins' commands and their bitmaps, and
// the switch for showing private records.

#include <windows.h>

#include <memory>
#include <string>

#include "devhost/addin_host.h"
#include "devhost/host_state.h"
#include "devhost/status.h"

namespace marupo::devhost {

class MainWindow {
  public:
    MainWindow(std::shared_ptr<HostState> state, AddinHost& addins);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    bool Create(bool show);
    HWND Handle() const { return window_; }
    HMENU AddressMenu() const;
    // Closing the window ends the message loop (the interactive program); off for scripts.
    void SetQuitOnClose(bool quit) { quitOnClose_ = quit; }
    void SetBookPath(std::wstring path) { bookPath_ = std::move(path); }

    // Shows the book as it now is: categories, the view's records and its selection.
    void Refresh();
    // The Address menu as shown: one line per item, `ID "text" bitmap WxH` or `bitmap none`.
    std::string DescribeAddressMenu() const;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateChildren();
    void Layout();
    void RebuildAddressMenu();
    void OnCommand(UINT id);
    void OnCategoryChosen();
    void TakeSelectionFromList();
    // The book file chosen in the open or the save dialog; empty when the user cancelled.
    std::wstring AskBookPath(bool save) const;
    void ShowFailure(const Status& failure) const;
    void OpenBook();
    void SaveBook(bool askPath);

    std::shared_ptr<HostState> state_;
    AddinHost& addins_;
    HWND window_ = nullptr;
    HWND categories_ = nullptr;
    HWND list_ = nullptr;
    HWND status_ = nullptr;
    HMENU viewMenu_ = nullptr;
    bool quitOnClose_ = false;
    bool refreshing_ = false;
    std::wstring bookPath_;
};

}  // namespace marupo::devhost
