#pragma once
// Opening an address (a web page) with the shell's default action, normally the web browser.
// Tests replace the opener to see what would be opened without starting a browser.

#include <windows.h>

#include <functional>
#include <string>

namespace marupo::ui {

// Hands `address` to the shell's default action with `owner` as owner window, no parameters, no
// working directory and the normal show state. The result is not reported.
void OpenInShell(HWND owner, const std::string& address);

// While it lives, OpenInShell calls `opener` instead of the shell.
class ShellOpenerOverride {
  public:
    using Opener = std::function<void(HWND owner, const std::string& address)>;
    explicit ShellOpenerOverride(Opener opener);
    ~ShellOpenerOverride();
    ShellOpenerOverride(const ShellOpenerOverride&) = delete;
    ShellOpenerOverride& operator=(const ShellOpenerOverride&) = delete;

  private:
    Opener previous_;
};

}  // namespace marupo::ui
