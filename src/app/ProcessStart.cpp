// The platform check and the single-instance mutex of the process start.
#include "app/ProcessStart.h"

bool CheckPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version; // 148 bytes
    GetVersionExA(&version);
    bool supported = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ||
                     (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4);
    if (!supported)
        MessageBoxA(nullptr, "このプログラムは、Windows95/98/NT4.0/2000で動作します。", "Morva",
                    MB_ICONERROR);
    return supported;
}

win::ScopedHandle TakeSingleInstanceMutex() {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Morva ArchiveIcon");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return {};
    }
    return win::ScopedHandle(mutex);
}
