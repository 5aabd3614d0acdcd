#pragma once
// Comparing a compiled dialog with its expected layout, row by row, for the resource tests.

#include <windows.h>

#include <cstddef>
#include <memory>

#include "tests/support/dialog_template.h"

namespace marupo::testing {

// One control as it must be compiled; `style` is what it has beyond WS_CHILD | WS_VISIBLE.
struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD style;
    int x, y, cx, cy;
    const wchar_t* text;
};

// A dialog as it must be compiled: its frame, and its controls in creation (tab) order.
struct ExpectedDialog {
    int id;
    DWORD style;
    int x, y, cx, cy;
    const wchar_t* caption;  // null where it is replaced at run time
    const ExpectedControl* rows;
    std::size_t count;
};

// The shipped 32-bit DLL's resources, or this program's own copy of them (with a note on the
// test output) when the DLL has not been built.
class ShippedResources {
  public:
    ShippedResources();
    HMODULE Module() const { return module_; }

  private:
    std::unique_ptr<ResourceModule> dll_;
    HMODULE module_ = nullptr;
};

// Every dialog of the add-in uses the 9 point "ＭＳ Ｐゴシック".
void ExpectNinePointGothic(const DialogTemplate& dialog);

// Expects exactly `count` controls, each matching its row in order (the creation and tab order).
void ExpectControls(const DialogTemplate& dialog, const ExpectedControl* rows, std::size_t count);

template <std::size_t N>
void ExpectControls(const DialogTemplate& dialog, const ExpectedControl (&rows)[N]) {
    ExpectControls(dialog, rows, N);
}

// Loads dialog `expected.id` from `module` and expects its frame (style, place, size, caption,
// no menu and the standard class), the 9 point "ＭＳ Ｐゴシック" and its controls row by row.
void ExpectDialog(HMODULE module, const ExpectedDialog& expected);

}  // namespace marupo::testing
