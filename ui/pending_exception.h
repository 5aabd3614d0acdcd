#pragma once
// Exceptions must not unwind through the system's window procedures. A handler's exception is
// caught where the system called us, the modal run around that window is ended, and the
// exception is thrown again from Dialog::DoModal (or Dialog::Create) once the system has
// returned.

#include <windows.h>

namespace marupo::ui::detail {

// Keeps the exception being handled (the first one, when several arrive) and ends the modal
// dialog that `window` belongs to.
void CapturePendingException(HWND window);

// Throws the kept exception, if any, and forgets it.
void RethrowPendingException();

}  // namespace marupo::ui::detail
