#pragma once
// The input context of a window, taken with ImmGetContext and given back when it goes.

#include <windows.h>

#include <imm.h>

namespace marupo::ui {

class InputContext {
  public:
    explicit InputContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
    ~InputContext() {
        if (context_ != nullptr) ImmReleaseContext(window_, context_);
    }
    InputContext(const InputContext&) = delete;
    InputContext& operator=(const InputContext&) = delete;
    HIMC Get() const { return context_; }

  private:
    HWND window_;
    HIMC context_;
};

}  // namespace marupo::ui
