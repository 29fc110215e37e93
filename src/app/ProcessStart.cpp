// The platform check, the single-instance mutex, the restart after an update and the code page
// at start.
#include "app/ProcessStart.h"

#include "app/CodePageNotice.h"
#include "settings/SettingsStore.h"
#include "util/Errors.h"

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

UINT ShowCatMessage() {
    static const UINT message = RegisterWindowMessageA("Pakico.ShowCat");
    return message;
}

void ShowTheRunningCopysCat() {
    if (HWND cat = FindWindowA(kCatWindowClass, nullptr))
        PostMessageA(cat, ShowCatMessage(), 0, 0);
}

void RegisterRestartAfterUpdate(RegisterRestartFn registerRestart) {
    // RESTART_NO_CRASH, RESTART_NO_HANG and RESTART_NO_REBOOT; the program takes no arguments.
    constexpr DWORD kNotAfterCrashHangOrReboot = 0x1 | 0x2 | 0x8;
    if (registerRestart)
        registerRestart(nullptr, kNotAfterCrashHangOrReboot);
}

void RegisterRestartAfterUpdate() {
    static const auto registerRestart = win::FunctionIn<RegisterRestartFn>(
        GetModuleHandleA("kernel32.dll"), "RegisterApplicationRestart");
    RegisterRestartAfterUpdate(registerRestart);
}

void TellOfAnotherCodePage() {
    const UINT codePage = GetACP();
    if (codePage == 932)
        return;
    // Told once for each code page: a program in the start-up folder would otherwise put a
    // topmost box in front of every sign-in.
    int told = 0;
    try {
        told = ReadSetting(settings::CodePageTold);
    } catch (const ERegistryError&) {
        // A value of another type, left by someone else: none was told.
    }
    if (told == static_cast<int>(codePage))
        return;
    WriteSetting(settings::CodePageTold, static_cast<int>(codePage));
    const std::wstring text = CodePageNotice(codePage);
    MessageBoxW(nullptr, text.c_str(), L"Pakico", MB_OK | MB_ICONWARNING | MB_TOPMOST);
}
