// The companion's command lines and the hand-off list text.
#include "handoff/CommandLines.h"

#include "util/PathText.h"

#include <cstdio>

namespace {

std::string Join(std::string_view token, std::string_view switches, std::string_view listPath,
                 std::string_view tail = {}) {
    std::string line(token);
    line += switches;
    line += listPath;
    line += tail;
    return line;
}

} // namespace

std::string CompanionPathIn(std::string_view programFolder) {
    return AddTrailingSeparator(programFolder) + CompanionFileName;
}

std::string ExecutableToken(std::string_view companionPath) {
    // A space byte is never the trail byte of a double-byte character, so a plain search is
    // safe on Shift-JIS text.
    if (companionPath.find(' ') == std::string_view::npos)
        return std::string(companionPath);
    return "\"" + std::string(companionPath) + "\"";
}

std::string QuickCompressCommand(std::string_view token, std::string_view listPath) {
    return Join(token, " /QA \\ @", listPath);
}

std::string QuickExtractCommand(std::string_view token, std::string_view listPath) {
    return Join(token, " /QE \\ @", listPath);
}

std::string ViewArchivesCommand(std::string_view token, std::string_view listPath) {
    return Join(token, " /Da ArchiveIcon! @", listPath, " /Send");
}

std::string SendArchivesCommand(std::string_view token, std::string_view listPath) {
    return Join(token, " /Da TaskTray! @", listPath, " /Send");
}

std::string SendRecentArchiveCommand(std::string_view token, std::string_view listPath) {
    return Join(token, " /Da Tasktray! @", listPath, " /Send");
}

std::string HandOffListText(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        // An entry ends at its first NUL, as a C string would; it is otherwise written whole,
        // however long, since a path cut short would name some other file.
        text.append(path.c_str());
        text += "\r\n";
    }
    return text;
}

std::string WorkFolderIn(std::string_view base) {
    return AddTrailingSeparator(base) + WorkFolderName;
}

OpenFolderSource OpenFolderSourceOf(int openType) {
    switch (openType) {
    case 1:
        return OpenFolderSource::RecentPath;
    case 2:
        return OpenFolderSource::FixedPath;
    default:
        return OpenFolderSource::None;
    }
}

std::string DropFolderName(std::uint32_t number) {
    char name[16];
    std::snprintf(name, sizeof name, "DROP%08X", static_cast<unsigned>(number));
    return name;
}

bool IsDropFolderName(std::string_view name) {
    if (name.size() != 12 || name.substr(0, 4) != "DROP")
        return false;
    return name.substr(4).find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

bool IsDropFolderExpired(std::uint64_t created, std::uint64_t now) {
    return now > created && now - created > kDropFolderLifetime;
}
