#include "ui/message_pump.h"

namespace marupo::ui {

bool PumpPendingMessages(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (dialog != nullptr && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

void WaitAndPumpMessages(DWORD milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    PumpPendingMessages();
}

void PumpUntilQuiet(DWORD quietMs, HWND dialog, DWORD limitMs) {
    const DWORD start = GetTickCount();
    do {
        if (!PumpPendingMessages(dialog)) return;
    } while (MsgWaitForMultipleObjects(0, nullptr, FALSE, quietMs, QS_ALLINPUT) == WAIT_OBJECT_0 &&
             (limitMs == INFINITE || GetTickCount() - start < limitMs));
}

}  // namespace marupo::ui
