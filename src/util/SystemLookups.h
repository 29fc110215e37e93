// What the program asks the system: the user's number formats, the temporary folder, the shell's
// special folders, the network, the icon font and the work area.
#pragma once

#include <windows.h>

#include <string>

// The user's special folders, named after their values in the shell's "Shell Folders" key.
enum TShellFolder {
    sfNone,
    sfDesktop,
    sfFavorites,
    sfFonts,
    sfPersonal,
    sfPrograms,
    sfRecent,
    sfSendTo,
    sfStartMenu,
    sfStartup,
    sfTemplates,
};

// A byte count in KB, MB or GB with two decimals and the locale's decimal separator.
std::string FormatByteSize(double bytes);

// The number in the user's currency format without the currency sign: 1234 gives "1,234" in the
// Japanese locale.
std::string FormatCount(long long number);

// The temporary folder without its trailing separator.
std::string GetTempFolder();

// The temporary folder exactly as the platform gives it (normally ending in '\\'), of any
// length, in the code page: by its short form when its name has characters the code page lacks;
// empty when it cannot be had, or has no such form.
std::string PlatformTempPath();
// The same as the platform gives it, in wide characters.
std::wstring WideTempPath();

// The program's own executable, of any length; empty when it cannot be had.
std::string ExecutablePath();
// Its folder, ending in '\\': where the companion, the libraries and the help file lie.
std::string ExecutableFolder();

// The folder's path from the value of its name in the key "Shell Folders" of the shell
// (HKEY_CURRENT_USER, Software\Microsoft\Windows\CurrentVersion\Explorer); empty for sfNone
// or when the value is missing.
std::string GetSpecialFolder(TShellFolder folder);

// The special folder + "\" + the name part of `name`; empty for sfNone.
std::string SpecialFolderFile(TShellFolder folder, const std::string& name);

// The shell has a network neighbourhood.
bool HasNetworkNeighbourhood();

// The font "MS UI Gothic" is installed and is the system's icon font.
bool IsIconFontUIGothic();

// The desktop without the taskbar.
RECT GetWorkArea();

// The system's icon font; every window of the program takes its face for its own font.
LOGFONTA IconFont();
