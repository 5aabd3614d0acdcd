#pragma once
// Which module strings, dialogs, menus, icons, bitmaps and cursors are loaded from. The host
// calls into the add-in on its own thread; every entry point switches to the add-in's module for
// its duration so that resources never come from the host.

#include <windows.h>

#include <string>

namespace marupo::ui {

// The add-in's own module (set once by the DLL entry, or by a test program to itself).
void SetAddinModule(HINSTANCE module);
HINSTANCE AddinModule();

// The module resources are currently taken from.
HINSTANCE CurrentModule();

// Makes the add-in's module current and restores the previous one on every way out.
class AddinModuleScope {
  public:
    AddinModuleScope();
    ~AddinModuleScope();
    AddinModuleScope(const AddinModuleScope&) = delete;
    AddinModuleScope& operator=(const AddinModuleScope&) = delete;

  private:
    HINSTANCE previous_;
};

// A string-table entry of the current module in the ANSI code page; empty when absent.
std::string LoadAnsiString(UINT id);
std::wstring LoadWideString(UINT id);

// The application title: the current module's file name without its extension.
std::wstring ApplicationTitle();

}  // namespace marupo::ui
