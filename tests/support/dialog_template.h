#pragma once
// Reads compiled dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) out of a module's resources,
// so that tests can compare a dialog's layout, styles and texts with what it must be.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marupo::testing {

struct DialogControl {
    int id = 0;  // -1 for the unnamed labels and group boxes
    // Window class: the predefined ones by name ("Button", "Edit", "Static", "ListBox",
    // "ScrollBar", "ComboBox"), others as written in the template.
    std::wstring className;
    std::wstring text;  // an ordinal text (an icon id) reads as "#<number>"
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    bool extended = false;  // DLGTEMPLATEEX
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;         // empty when none; ordinals as "#<number>"
    std::wstring windowClass;  // empty for the standard dialog class
    std::wstring caption;
    bool hasFont = false;
    int fontPointSize = 0;
    int fontWeight = 0;  // extended templates only
    bool fontItalic = false;
    int fontCharset = 0;
    std::wstring fontName;
    std::vector<DialogControl> controls;  // in creation (tab) order

    // The first control with this id, or null.
    const DialogControl* Find(int id) const;
};

// Parses a template held in memory. Nothing when the data is truncated or malformed.
std::optional<DialogTemplate> ParseDialogTemplate(const void* data, std::size_t size);

// A module loaded for its resources only (its code is neither mapped for running nor started),
// so a 32-bit DLL can be read from a 64-bit process.
class ResourceModule {
  public:
    explicit ResourceModule(const std::wstring& path);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    bool IsOpen() const { return module_ != nullptr; }
    HMODULE Handle() const { return module_; }

  private:
    HMODULE module_ = nullptr;
};

// Dialog template `id` of `module`; nothing when absent or malformed.
std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id);

// Where the shipped 32-bit DLL is: the environment variable MARUPO_WIN32_DLL when set, else the
// default build output in the source tree. Unix paths are turned into Wine's Z: drive.
std::wstring ShippedDllPath();

}  // namespace marupo::testing
