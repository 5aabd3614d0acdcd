#pragma once
// What all host objects share: the book, the fault rules, the call log and the commands and
// menu items the add-ins registered. Every host object holds the state, so it outlives any
// object an add-in keeps.

#include <windows.h>

#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devhost/book.h"
#include "devhost/call_log.h"
#include "devhost/fault_injector.h"
#include "host/desktop_host.h"
#include "win/unique_handle.h"

namespace marupo::devhost {

struct RegisteredCommand {
    long id = 0;
    long cookie = 0;
    std::u16string name;
    Microsoft::WRL::ComPtr<IDesktopCommand> command;
};

struct RegisteredMenuItem {
    long commandId = 0;
    std::u16string text;  // as the add-in passed it: item TAB description TAB title
    LONG_PTR moduleHandle = 0;
    long bitmapId = 0;
    long flag = 0;
    std::shared_ptr<win::UniqueBitmap> bitmap;  // loaded from the module, deleted with the item

    std::u16string ItemText() const;     // the first TAB-separated field
    std::u16string Description() const;  // the second, shown in the status bar
};

class HostState {
  public:
    Book book;
    FaultInjector faults;
    CallLog log;
    // Whether the host objects answer ISupportErrorInfo with S_OK for their own interface.
    bool errorInfoSupported = true;
    // Host objects alive now, the application object included: every one but the application
    // is held by an add-in, since the host keeps no other object of its own.
    int liveObjects = 0;

    std::vector<RegisteredCommand> commands;
    std::vector<RegisteredMenuItem> menuItems;
    long nextCommandId = 40001;  // also the menu command id of the item

    const RegisteredCommand* FindCommand(long id) const;
    const RegisteredCommand* FindCommand(const std::u16string& name) const;
    void ReleaseCommands();

    // Told when add-ins change the menu or the book; the main window listens.
    std::function<void()> menuChanged;
    std::function<void()> bookChanged;
    void NotifyMenuChanged() const {
        if (menuChanged) menuChanged();
    }
    void NotifyBookChanged() const {
        if (bookChanged) bookChanged();
    }
};

}  // namespace marupo::devhost
