// The rules of the shortcut writer that need no platform call: where the ".lnk" file goes,
// the shell's hot-key word and show command, and what may be written without being cut.
#pragma once

#include "shell/ShortCutText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace shelllink {

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// The file-name part of a path: what follows its last separator or drive colon.
std::string FileNamePart(std::string_view path);

// The name a shortcut gets when FileName is set to `name`. In a shell folder (`inFolder`) any
// folder given in `name` is replaced by `folderPath`; ".lnk" is appended unless the extension
// already says so (in any case); a name that is only ".lnk" gives empty text.
std::string LinkFileName(std::string_view name, bool inFolder, std::string_view folderPath);

// The same file moved into another shell folder: the folder + "\" + its file-name part.
std::string MovedLinkFileName(std::string_view fileName, std::string_view folderPath);

// The shell's 16-bit hot-key word (virtual key low, Shift 1, Ctrl 2, Alt 4 high) of a
// shortcut value, and back. The hot-key control answers in the same word.
std::uint16_t HotKeyWord(shortcut::TShortCut shortcut);
shortcut::TShortCut ShortCutOfHotKeyWord(std::uint16_t word);

// The show command stored for a window state (1, 7, 3), and the state read back from one.
int ShowCommandOf(TWindowState state);
TWindowState WindowStateOf(int showCommand);

// The longest text the shell takes for a shortcut's description, target, working folder,
// arguments and icon file, in bytes; and for the file name, in UTF-16 units.
inline constexpr std::size_t kMaxLinkText = 255;
inline constexpr std::size_t kMaxLinkFileName = 259;

// A shortcut's own file name must be a full path: a drive and a separator, or a UNC path.
// ("\Pakico.lnk", what a missing shell folder leaves, would land at the current drive's root.)
bool IsFullFilePath(std::string_view path);

// Whether Windows passes over a shortcut of the Startup folder at sign-in, by the value Explorer
// keeps under its name in "StartupApproved\StartupFolder" when the user turns it off or on again
// in Task Manager, the file staying where it is: the low bit of its first byte marks it off (02
// and 06 on, 03 and 07 off, the time it was turned off after them). No value, or an empty one,
// leaves it on.
bool StartupApprovedTurnsOff(std::string_view data);

} // namespace shelllink
