#pragma once
// A postal-code file held in memory, with its size and seeking, as a ZIP archive needs them.

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "postal/postal_file.h"

namespace marupo::testing {

class MemoryFile final : public postal::PostalFile {
  public:
    explicit MemoryFile(std::string content) : content_(std::move(content)) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, content_.size() - position_);
        std::memcpy(buffer, content_.data() + position_, n);
        position_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }
    bool Seek(std::uint64_t offset) override {
        if (offset > content_.size()) return false;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }
    std::optional<std::uint64_t> Size() override { return content_.size(); }

  private:
    std::string content_;
    std::size_t position_ = 0;
};

}  // namespace marupo::testing
