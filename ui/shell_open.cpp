#include "ui/shell_open.h"

#include <shellapi.h>

#include <utility>

namespace marupo::ui {
namespace {

ShellOpenerOverride::Opener& CurrentOpener() {
    static ShellOpenerOverride::Opener opener;
    return opener;
}

}  // namespace

void OpenInShell(HWND owner, const std::string& address) {
    if (const auto& opener = CurrentOpener()) {
        opener(owner, address);
        return;
    }
    ShellExecuteA(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

ShellOpenerOverride::ShellOpenerOverride(Opener opener)
    : previous_(std::exchange(CurrentOpener(), std::move(opener))) {}

ShellOpenerOverride::~ShellOpenerOverride() {
    CurrentOpener() = std::move(previous_);
}

}  // namespace marupo::ui
