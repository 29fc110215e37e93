// The platform check, the single-instance mutex and the code page at start.
#include "app/ProcessStart.h"

#include "app/CodePageNotice.h"

#include <string>

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

SingleInstance TakeSingleInstanceMutex() {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Morva ArchiveIcon");
    const DWORD error = GetLastError();
    SingleInstance start;
    if (error == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        start.otherCopy = true;
    } else if (!mutex && error == ERROR_ACCESS_DENIED) {
        // The mutex is there but may not be opened: a copy runs elevated or as another user.
        start.otherCopy = true;
    } else {
        // Any other failure (the name taken by an object of another kind, no resources) says
        // nothing of another copy: a program that never started would be worse than two.
        start.marker.reset(mutex);
    }
    return start;
}

void TellOfAnotherCodePage() {
    const UINT codePage = GetACP();
    if (codePage == 932)
        return;
    const std::wstring text = CodePageNotice(codePage);
    MessageBoxW(nullptr, text.c_str(), L"Pakico", MB_OK | MB_ICONWARNING | MB_TOPMOST);
}
