// Shortcut file names, hot-key words and show commands.
#include "shell/ShellLinkRules.h"

#include "util/PathText.h"

namespace shelllink {

namespace {

bool IsLnkExtension(std::string_view fileName) {
    // A dot is never a trail byte, so the last one starts the extension.
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string_view extension = fileName.substr(dot);
    if (extension.size() != 4)
        return false;
    const char* expected = ".LNK";
    for (std::size_t i = 0; i < 4; ++i) {
        char c = extension[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != expected[i])
            return false;
    }
    return true;
}

} // namespace

std::string FileNamePart(std::string_view path) {
    return std::string(path.substr(ExtractFilePath(path).size()));
}

std::string LinkFileName(std::string_view name, bool inFolder, std::string_view folderPath) {
    std::string result =
        inFolder ? std::string(folderPath) + "\\" + FileNamePart(name) : std::string(name);
    if (!IsLnkExtension(FileNamePart(result)))
        result += ".lnk";
    if (FileNamePart(result).size() == 4 && IsLnkExtension(FileNamePart(result)))
        return {};
    return result;
}

std::string MovedLinkFileName(std::string_view fileName, std::string_view folderPath) {
    return std::string(folderPath) + "\\" + FileNamePart(fileName);
}

std::uint16_t HotKeyWord(shortcut::TShortCut value) {
    unsigned modifiers = 0;
    if (value & shortcut::scShift)
        modifiers |= 1;
    if (value & shortcut::scCtrl)
        modifiers |= 2;
    if (value & shortcut::scAlt)
        modifiers |= 4;
    return static_cast<std::uint16_t>((value & shortcut::scKeyMask) | (modifiers << 8));
}

shortcut::TShortCut ShortCutOfHotKeyWord(std::uint16_t word) {
    const unsigned modifiers = word >> 8;
    unsigned value = word & shortcut::scKeyMask;
    if (modifiers & 1)
        value |= shortcut::scShift;
    if (modifiers & 2)
        value |= shortcut::scCtrl;
    if (modifiers & 4)
        value |= shortcut::scAlt;
    return static_cast<shortcut::TShortCut>(value);
}

int ShowCommandOf(TWindowState state) {
    switch (state) {
    case TWindowState::wsMinimized:
        return 7; // SW_SHOWMINNOACTIVE
    case TWindowState::wsMaximized:
        return 3; // SW_SHOWMAXIMIZED
    default:
        return 1; // SW_SHOWNORMAL
    }
}

TWindowState WindowStateOf(int showCommand) {
    if (showCommand == 3)
        return TWindowState::wsMaximized;
    if (showCommand == 7)
        return TWindowState::wsMinimized;
    return TWindowState::wsNormal;
}

bool IsFullFilePath(std::string_view path) {
    if (IsUncPath(path))
        return path.size() > 2;
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\')
        return false;
    const char drive = path[0];
    return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
}

bool StartupApprovedTurnsOff(std::string_view data) {
    return !data.empty() && (static_cast<unsigned char>(data[0]) & 1) != 0;
}

} // namespace shelllink
