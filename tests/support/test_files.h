#pragma once
// Files a test writes and reads back: a folder of its own, removed with everything in it when
// the test ends, and a whole file's bytes.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "tests/support/unique_name.h"

namespace marupo::testing {

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A new folder in the temporary folder, named after `prefix` and unique to this process.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix)
        : path_(std::filesystem::temp_directory_path() / UniqueName(prefix)) {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Folder() const { return path_; }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // Writes `content` as it is to the file `name` in the folder; its path.
    std::string Write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return Path(name);
    }

  private:
    std::filesystem::path path_;
};

}  // namespace marupo::testing
