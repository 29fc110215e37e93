// Pakico's entry point: one resident copy per session.
#include "app/ProcessStart.h"
#include "archive/ArchiverLibraries.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    if (!CheckPlatform())
        return 1;
    win::ScopedHandle instance = TakeSingleInstanceMutex();
    if (!instance)
        return 0;

    // Until the icon window arrives the program only holds its place as the running copy.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnloadArchiverLibraries();
    return 0;
}
