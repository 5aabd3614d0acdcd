#include "ui/file_open_dialog.h"

#include <commdlg.h>

#include <vector>

#include "ui/dialog.h"

namespace marupo::ui {
namespace {

// Long enough for any path the system's file dialog hands back in its classic buffer form.
constexpr DWORD kPathBufferSize = 4096;

}  // namespace

FileOpenDialog::FileOpenDialog(std::string defaultExtension, std::string initialName,
                               std::string filter, DWORD flags)
    : defaultExtension_(std::move(defaultExtension)),
      initialName_(std::move(initialName)),
      filter_(SystemFilter(filter)),
      flags_(flags) {}

std::string FileOpenDialog::SystemFilter(const std::string& filter) {
    std::string result = filter;
    for (char& c : result)
        if (c == '|') c = '\0';
    // Two NULs end the list whether or not the "|" form ended in "||".
    result.append(2, '\0');
    return result;
}

std::optional<std::string> FileOpenDialog::Run() {
    std::vector<char> path(kPathBufferSize, '\0');
    initialName_.copy(path.data(), path.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DefaultOwner();
    ofn.lpstrFilter = filter_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrDefExt = defaultExtension_.c_str();
    ofn.Flags = flags_;
    if (!GetOpenFileNameA(&ofn)) return std::nullopt;
    return std::string(path.data());
}

}  // namespace marupo::ui
