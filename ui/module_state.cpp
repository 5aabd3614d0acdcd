#include "ui/module_state.h"

#include "ui/window_text.h"
#include "win/module_path.h"

namespace marupo::ui {
namespace {

HINSTANCE g_addinModule = nullptr;
HINSTANCE g_currentModule = nullptr;

}  // namespace

void SetAddinModule(HINSTANCE module) {
    g_addinModule = module;
    if (g_currentModule == nullptr) g_currentModule = module;
}

HINSTANCE AddinModule() {
    return g_addinModule;
}

HINSTANCE CurrentModule() {
    return g_currentModule != nullptr ? g_currentModule : GetModuleHandleW(nullptr);
}

AddinModuleScope::AddinModuleScope() : previous_(g_currentModule) {
    g_currentModule = g_addinModule;
}

AddinModuleScope::~AddinModuleScope() {
    g_currentModule = previous_;
}

std::wstring LoadWideString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    int length = LoadStringW(CurrentModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

std::string LoadAnsiString(UINT id) {
    return WideToAnsi(LoadWideString(id));
}

std::wstring ApplicationTitle() {
    std::wstring name = win::ModuleFileName(CurrentModule());
    size_t slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace marupo::ui
