#pragma once
// The common-control window classes a dialog template names (the tab control, ...). A dialog
// that uses one registers it first: neither the host nor the system is sure to have done it.

#include <windows.h>

namespace marupo::ui {

// Registers the classes of `classes` (ICC_* flags) for this process; cheap when already done.
// Returns false when the system refused.
bool RegisterCommonControls(DWORD classes);

}  // namespace marupo::ui
