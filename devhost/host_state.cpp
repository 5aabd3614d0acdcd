#include "devhost/host_state.h"

namespace marupo::devhost {
namespace {

std::u16string Field(const std::u16string& text, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find(u'\t', start);
        if (start == std::u16string::npos) return {};
        ++start;
    }
    return text.substr(start, text.find(u'\t', start) - start);
}

}  // namespace

std::u16string RegisteredMenuItem::ItemText() const {
    return Field(text, 0);
}
std::u16string RegisteredMenuItem::Description() const {
    return Field(text, 1);
}

const RegisteredCommand* HostState::FindCommand(long id) const {
    for (const auto& c : commands) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const RegisteredCommand* HostState::FindCommand(const std::u16string& name) const {
    for (const auto& c : commands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

void HostState::ReleaseCommands() {
    // Moved out first: a command's destructor may call back into the host.
    auto released = std::move(commands);
    commands.clear();
    menuItems.clear();
    released.clear();
    NotifyMenuChanged();
}

}  // namespace marupo::devhost
