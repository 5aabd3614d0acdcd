#include "ui/pending_exception.h"

#include <exception>

namespace marupo::ui::detail {
namespace {

thread_local std::exception_ptr t_pending;

}  // namespace

void CapturePendingException(HWND window) {
    if (!t_pending) t_pending = std::current_exception();
    // The top-level window is the one that may run a modal loop (a page lives in its frame).
    HWND top = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    char name[16] = {};
    if (top != nullptr) GetClassNameA(top, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0) EndDialog(top, -1);
}

void RethrowPendingException() {
    if (!t_pending) return;
    std::exception_ptr pending = t_pending;
    t_pending = nullptr;
    std::rethrow_exception(pending);
}

}  // namespace marupo::ui::detail
