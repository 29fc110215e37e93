// The start-up shortcut and Windows' own choice about it.
#include "shell/StartupShortcut.h"

#include "shell/ShellLinkRules.h"
#include "util/FileProbe.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

#include <windows.h>

namespace {

// Where Explorer keeps, under each shortcut's file name, whether the user turned it off.
constexpr const char* kApprovedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// The shortcut's value there; empty when the key or the value is missing or cannot be read.
std::string ApprovedValue() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return {};
    win::ScopedKey key(opened);
    // The value is 12 bytes; one of another type or far too long is not Explorer's.
    BYTE data[64] = {};
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExA(key.get(), kStartupShortcutName, nullptr, &type, data, &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY)
        return {};
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace

std::string StartupShortcutPath() {
    return SpecialFolderFile(sfStartup, kStartupShortcutName);
}

bool StartupShortcutRuns() {
    const std::string path = StartupShortcutPath();
    return !path.empty() && FileExistsQuiet(path) &&
           !shelllink::StartupApprovedTurnsOff(ApprovedValue());
}

void TurnOnStartupShortcut() {
    if (!shelllink::StartupApprovedTurnsOff(ApprovedValue()))
        return;
    // Without its value the shortcut counts as on, as a new one does; Task Manager writes the
    // value again when the user next turns it off there.
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    win::ScopedKey key(opened);
    RegDeleteValueA(key.get(), kStartupShortcutName);
}
