#pragma once
// Handling the calling thread's messages outside a message loop of its own: between the steps of
// a script, and while a test waits for what a click or a closed window set off. Under Wine the
// activation that follows a closed message box or dialog may still arrive from the X server once
// the window is gone, so focus and texts are looked at only after the queue has settled.

#include <windows.h>

namespace marupo::ui {

// Dispatches the pending messages; with `dialog`, its keyboard messages go through the dialog
// manager as in its own modal loop. A WM_QUIT is put back for the outer loop and ends the
// pumping: false then.
bool PumpPendingMessages(HWND dialog = nullptr);
// Waits up to `milliseconds` for a message, then dispatches what is pending.
void WaitAndPumpMessages(DWORD milliseconds);
// Dispatches messages until none has come for `quietMs`, or `limitMs` have passed.
void PumpUntilQuiet(DWORD quietMs = 30, HWND dialog = nullptr, DWORD limitMs = INFINITE);

}  // namespace marupo::ui
