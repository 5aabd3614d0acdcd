// marupo-announce: announces the installed add-in to the host of the user who runs it. Where the
// host keeps its add-in list per user, the installer's own announcement reaches only the account
// that gave the administrator's rights; so the installer has Windows run this program once for
// each user at logon (Active Setup). A windowless program: nothing shows at logon.

#include <windows.h>

#include <objbase.h>

#include "module/host_announcement.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    marupo::AnnounceToHost();
    CoUninitialize();
    return 0;
}
