// Fuzz target: the paths the shortcut writer is handed and the show command a shortcut file
// holds. The input is a flag byte (bit 0: the shortcut is in a shell folder), the show command
// (4 bytes, little-endian), then the name given as FileName, a NUL and the shell folder's path.
// (The 16-bit hot-key word is checked for every value by the native tests.)
#include "shell/ShellLinkRules.h"
#include "Cp932Text.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include <string>
#include <string_view>
#include <vector>

using namespace shelllink;

namespace {

// What follows the last "\" or ":" that is a character of its own.
std::string_view NamePart(std::string_view path) {
    std::size_t start = 0, at = 0;
    for (std::string_view c : Characters(path)) {
        at += c.size();
        if (c == "\\" || c == ":")
            start = at;
    }
    return path.substr(start);
}

bool EndsWithLnk(std::string_view name) {
    if (name.size() < 4)
        return false;
    std::string_view end = name.substr(name.size() - 4);
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return end[0] == '.' && upper(end[1]) == 'L' && upper(end[2]) == 'N' && upper(end[3]) == 'K';
}

bool ReferenceFullPath(std::string_view path) {
    if (path.starts_with("\\\\"))
        return path.size() > 2;
    char drive = path.empty() ? '\0' : static_cast<char>(path[0] & ~0x20);
    return path.size() >= 3 && drive >= 'A' && drive <= 'Z' && path.substr(1, 2) == ":\\";
}

void CheckPath(std::string_view path) {
    Check(FileNamePart(path) == NamePart(path));
    Check(IsFullFilePath(path) == ReferenceFullPath(path));
}

void CheckLinkFileName(std::string_view name, bool inFolder, std::string_view folder) {
    std::string link = LinkFileName(name, inFolder, folder);
    // A folder the shell names never ends in half a character, which would take the separator.
    std::vector<std::string_view> folderChars = Characters(folder);
    const bool halfCharacter = !folderChars.empty() && folderChars.back().size() == 1 &&
                               IsCp932LeadByte(static_cast<unsigned char>(folderChars.back()[0]));
    // ".lnk" with nothing before it is no name.
    std::string_view given = NamePart(name);
    const bool noName = given.empty() || (given.size() == 4 && EndsWithLnk(given));
    if (link.empty()) {
        Check(noName);
        return;
    }
    Check(!noName || (inFolder && halfCharacter));
    std::string_view part = NamePart(link);
    Check(part.size() > 4 && EndsWithLnk(part));
    if (halfCharacter)
        return;
    Check(LinkFileName(link, inFolder, folder) == link);
    if (inFolder) {
        std::string expected = std::string(folder) + '\\' + std::string(given);
        Check(link == expected || link == expected + ".lnk");
    } else {
        Check(link == name || link == std::string(name) + ".lnk");
    }
    std::string moved = MovedLinkFileName(link, folder);
    Check(moved == std::string(folder) + '\\' + std::string(part));
    Check(NamePart(moved) == part);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    const bool inFolder = data[0] & 1;
    const int showCommand = ReadInt32(data + 1);
    const bool known = showCommand == 1 || showCommand == 3 || showCommand == 7;
    Check(ShowCommandOf(WindowStateOf(showCommand)) == (known ? showCommand : 1));

    std::string_view input(reinterpret_cast<const char*>(data + 5), size - 5);
    std::string_view name = input.substr(0, input.find('\0'));
    std::string_view folder =
        name.size() < input.size() ? input.substr(name.size() + 1) : std::string_view();
    folder = folder.substr(0, folder.find('\0'));
    CheckPath(name);
    CheckPath(folder);
    CheckLinkFileName(name, inFolder, folder);
    return 0;
}
