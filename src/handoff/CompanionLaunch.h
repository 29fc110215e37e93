// Starting the companion Morva with a command line that names the operation and a hand-off
// list. Nothing is reported to the user: a missing companion, a list that cannot be written or
// a failed start simply end the operation.
#pragma once

#include <string>
#include <vector>

// Where the companion is looked for: beside the running program, computed afresh at every use
// (the program may have been moved or the companion put in since). A caller that lays out a
// program folder of its own, as the tests do, names that folder instead.
struct CompanionLocation {
    std::string programFolder; // ending in '\\'

    // The folder of the running executable.
    static CompanionLocation OfThisProgram();
};

// The program's folder followed by "Morva.exe".
std::string CompanionPath(const CompanionLocation& where = CompanionLocation::OfThisProgram());

// Starts the companion without arguments, its path quoted when it holds a space, as on every
// other command line: unquoted, the platform would first try to start "C:\My.exe" for
// "C:\My Tools\Morva.exe", whatever program lies there.
void LaunchCompanion(const CompanionLocation& where = CompanionLocation::OfThisProgram());

// Compresses the dropped files (" /QA \ @list"). False when nothing was started; a list whose
// start failed is deleted again.
bool QuickCompress(const std::vector<std::string>& droppedFiles,
                   const CompanionLocation& where = CompanionLocation::OfThisProgram());

// Extracts the dropped files (" /QE \ @list") when all of them are archives. False when
// nothing was started; a list whose start failed is deleted again. The archive test may raise
// EFOpenError for an ".exe" it cannot open; that reaches the caller like any error of the
// program's own.
bool QuickExtract(const std::vector<std::string>& droppedFiles,
                  const CompanionLocation& where = CompanionLocation::OfThisProgram());

// Shows the dropped archives in the companion (" /Da ArchiveIcon! @list /Send") when all of
// them are archives.
void ViewArchives(const std::vector<std::string>& droppedFiles,
                  const CompanionLocation& where = CompanionLocation::OfThisProgram());

// The three sends hand over archives their callers have already recognised; an empty list
// sends nothing. They do not look for the companion first: a missing one shows only as a
// failed start, and the list file then stays.

// The archives chosen in the open dialog (" /Da TaskTray! @list /Send").
void SendChosenArchives(const std::vector<std::string>& archives,
                        const CompanionLocation& where = CompanionLocation::OfThisProgram());

// One archive chosen from the recent-archive menu (" /Da Tasktray! @list /Send"), sent
// whether or not the file still exists.
void SendRecentArchive(const std::string& archive,
                       const CompanionLocation& where = CompanionLocation::OfThisProgram());

// How a hand-off ended.
enum class HandOffResult { Started, ListNotWritten, NotStarted };

// The archives collected while a folder was watched (" /Da TaskTray! @list /Send"). Its
// caller tells the user of the result, which for an empty list is ListNotWritten.
HandOffResult
SendImportedArchives(const std::vector<std::string>& archives,
                     const CompanionLocation& where = CompanionLocation::OfThisProgram());
