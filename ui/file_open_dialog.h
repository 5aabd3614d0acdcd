#pragma once
// The system's file-open dialog for one existing file, with ANSI (Shift-JIS) paths.

#include <windows.h>

#include <optional>
#include <string>

namespace marupo::ui {

class FileOpenDialog {
  public:
    // `filter` in the "|"-separated form: "label|pattern|label|pattern||".
    FileOpenDialog(std::string defaultExtension, std::string initialName, std::string filter,
                   DWORD flags);

    // Runs the dialog modally, owned as any modal dialog without an owner is (DefaultOwner).
    // The chosen file's full path, or nothing when the user cancelled.
    std::optional<std::string> Run();

    // The filter in the system's form: each "|" becomes a NUL, ending in two NULs.
    static std::string SystemFilter(const std::string& filter);

  private:
    std::string defaultExtension_;
    std::string initialName_;
    std::string filter_;
    DWORD flags_;
};

}  // namespace marupo::ui
