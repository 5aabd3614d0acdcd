#include "ui/common_controls.h"

#include <commctrl.h>

namespace marupo::ui {

bool RegisterCommonControls(DWORD classes) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = classes;
    return InitCommonControlsEx(&init) != FALSE;
}

}  // namespace marupo::ui
