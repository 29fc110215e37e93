// Owner of a change-notification handle, opening one for a folder, and the platform's text
// for the few failures of the watchers' own set-up.
#pragma once

#include "util/Errors.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <memory>
#include <string>

namespace watch {

struct ChangeNotificationCloser {
    void operator()(HANDLE handle) const { FindCloseChangeNotification(handle); }
};
using ScopedChangeNotification = std::unique_ptr<void, ChangeNotificationCloser>;

// The platform's FindFirstChangeNotificationA, or a test's stand-in for it.
using OpenChangeCall = HANDLE(WINAPI*)(LPCSTR folder, BOOL subTree, DWORD filter);

// Starts watching `folder` (through `open`); empty when it cannot be watched (missing, empty
// name, no access, a network server that does not report changes), with the reason in the
// thread's last error. Critical-error boxes are kept away meanwhile.
inline ScopedChangeNotification
OpenChangeNotification(const std::string& folder, bool subTree, DWORD filter,
                       OpenChangeCall open = FindFirstChangeNotificationA) {
    HANDLE handle;
    DWORD error;
    {
        win::ScopedErrorMode quiet;
        handle = open(folder.c_str(), subTree ? TRUE : FALSE, filter);
        error = GetLastError();
    }
    SetLastError(error);
    return ScopedChangeNotification(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// What the user is told when a watcher's thread cannot be started: the system is short of
// resources (the library's own text for it is English).
inline constexpr const char* kWatchNotStarted =
    "フォルダの監視を始められません。システムの資源が足りません。\r\n"
    "ほかのプログラムを終了してから、もう一度お試しください。";

// Raises EAppError with the platform's message for the thread's last error.
[[noreturn]] inline void RaiseLastError() {
    DWORD code = GetLastError();
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", buffer ? length : 0);
    LocalFree(buffer);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    throw EAppError(text.empty() ? std::to_string(code) : text);
}

} // namespace watch
