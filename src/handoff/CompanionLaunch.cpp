// Starting the companion with a hand-off list.
#include "handoff/CompanionLaunch.h"

#include "archive/ArchiveRecognizer.h"
#include "archive/DropRules.h"
#include "handoff/CommandLines.h"
#include "handoff/HandOffList.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

#include <windows.h>

#include <vector>

namespace {

// The companion is a file; a folder of that name cannot be started.
bool CompanionExists(const std::string& companionPath) {
    win::ScopedErrorMode quiet;
    DWORD attributes = GetFileAttributesA(companionPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts the companion as WinExec would (the command line as it is, shown normally), but never
// waits for it: WinExec returns only once the new process first asks for input, or after 30 s,
// and a companion loading from a cold disk would hold up the cat, and a drop's source, that
// long. True when the process was created.
bool Start(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // The platform may write into the command line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

using CommandBuilder = std::string (*)(std::string_view token, std::string_view listPath);

// Writes the list and starts the companion with it. A quick operation takes its list back when
// the start fails, since nobody else will ever read it; the other launches leave it.
HandOffResult StartWithList(const std::vector<std::string>& paths, CommandBuilder command,
                            const CompanionLocation& where, bool deleteListWhenNotStarted) {
    std::string listPath;
    if (!WriteHandOffList(paths, listPath))
        return HandOffResult::ListNotWritten;
    if (Start(command(ExecutableToken(CompanionPath(where)), listPath)))
        return HandOffResult::Started;
    if (deleteListWhenNotStarted)
        DeleteFileA(listPath.c_str());
    return HandOffResult::NotStarted;
}

} // namespace

CompanionLocation CompanionLocation::OfThisProgram() {
    return CompanionLocation{ExecutableFolder()};
}

std::string CompanionPath(const CompanionLocation& where) {
    return CompanionPathIn(where.programFolder);
}

void LaunchCompanion(const CompanionLocation& where) {
    const std::string companion = CompanionPath(where);
    if (CompanionExists(companion))
        Start(ExecutableToken(companion));
}

bool QuickCompress(const std::vector<std::string>& droppedFiles, const CompanionLocation& where) {
    if (!CompanionExists(CompanionPath(where)))
        return false;
    return StartWithList(droppedFiles, QuickCompressCommand, where, true) == HandOffResult::Started;
}

bool QuickExtract(const std::vector<std::string>& droppedFiles, const CompanionLocation& where) {
    // The files are looked at again: the drop's answer may be a while old, and the right drop's
    // menu acts on what was dropped.
    if (!CompanionExists(CompanionPath(where)) ||
        droprules::ActionFor({droppedFiles, AreAllArchives(droppedFiles)}) !=
            droprules::DropAction::Extract)
        return false;
    return StartWithList(droppedFiles, QuickExtractCommand, where, true) == HandOffResult::Started;
}

void ViewArchives(const std::vector<std::string>& droppedFiles, const CompanionLocation& where) {
    if (CompanionExists(CompanionPath(where)) && AreAllArchives(droppedFiles))
        StartWithList(droppedFiles, ViewArchivesCommand, where, false);
}

void SendChosenArchives(const std::vector<std::string>& archives, const CompanionLocation& where) {
    if (!archives.empty())
        StartWithList(archives, SendArchivesCommand, where, false);
}

void SendRecentArchive(const std::string& archive, const CompanionLocation& where) {
    std::string listPath;
    if (WriteSingleHandOffList(archive, listPath))
        Start(SendRecentArchiveCommand(ExecutableToken(CompanionPath(where)), listPath));
}

HandOffResult SendImportedArchives(const std::vector<std::string>& archives,
                                   const CompanionLocation& where) {
    if (archives.empty())
        return HandOffResult::ListNotWritten;
    return StartWithList(archives, SendArchivesCommand, where, false);
}
