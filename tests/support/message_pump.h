#pragma once
// Handles the calling thread's messages until none has come for a short while. Under Wine the
// activation that follows a closed message box or dialog may still arrive from the X server once
// the window is gone, so a test looks at focus and texts only after the queue has settled.

#include <windows.h>

namespace marupo::testing {

inline void PumpUntilQuiet() {
    constexpr DWORD kQuietMs = 30;
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    } while (MsgWaitForMultipleObjects(0, nullptr, FALSE, kQuietMs, QS_ALLINPUT) == WAIT_OBJECT_0);
}

}  // namespace marupo::testing
