// Helpers for tests that use the stand-in archiver libraries and the stand-in companion:
// their control files, their call logs and the companion's record of each start.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Copies one stand-in (e.g. "Unlha32.dll", "Morva.exe") from the program folder into folder.
void CopyStandin(const std::string& folder, const std::string& file);

// Writes "<folder><dllFile>.ctl" ("key=value" lines); empty text deletes it.
void SetStandinControl(const std::string& folder, const std::string& dllFile,
                       const std::string& text);

// The lines of "<folder><dllFile>.log", one per call: the entry point, then each argument
// after a TAB. Empty when the library logged nothing.
std::vector<std::string> StandinCalls(const std::string& folder, const std::string& dllFile);

void ClearStandinLog(const std::string& folder, const std::string& dllFile);

// Writes "<folder>Morva.ctl"; empty text deletes it.
void SetMorvaControl(const std::string& folder, const std::string& text);

// One start of the stand-in companion as recorded in its log.
struct MorvaRun {
    std::string commandLine; // exact bytes of its command line
    bool listFound = false;  // the list file named after "@" was read
    std::string listBytes;   // exact bytes of that list file
    std::string listStatus;  // "read", "unreadable" or "none" (no "@" argument)
    bool finished = false;   // the start ran to its end (list deleted if asked)
};

// Parses "<folder>Morva.log". A record still being written at the end is left out; a malformed
// log throws std::runtime_error. When starts overlap, each "--- end" line marks the oldest
// start not yet finished, so the count of finished runs is exact but not which one ended.
std::vector<MorvaRun> ReadMorvaLog(const std::string& folder);

// Polls the log until `count` finished runs are recorded or timeoutMs passes; returns the
// runs seen last, so the caller checks the count itself.
std::vector<MorvaRun> WaitForMorvaRuns(const std::string& folder, std::size_t count,
                                       unsigned timeoutMs = 10000);

} // namespace testing_support
