// The archiver libraries: loaded by bare file name on first need, kept until the end,
// entry points looked up by name at every call.
#pragma once

#include "archive/ArchiveRules.h"

#include <cstdint>
#include <functional>
#include <string>

// The libraries serve one thread at a time; the calls below wait for another thread's turn. A
// thread that checks many files aside (the end of an automatic import) holds them throughout,
// and the window's thread, which must never wait, asks first whether it may have them.
class TArchiverLibrariesHold {
  public:
    // Waits for the libraries; with `onlyIfFree`, takes them only when no other thread holds
    // them (Held() tells), without waiting.
    explicit TArchiverLibrariesHold(bool onlyIfFree = false);
    ~TArchiverLibrariesHold();
    TArchiverLibrariesHold(const TArchiverLibrariesHold&) = delete;
    TArchiverLibrariesHold& operator=(const TArchiverLibrariesHold&) = delete;
    bool Held() const { return held_; }

  private:
    bool held_ = false;
};

// Loads the library when no handle is held yet and tells whether one is held now. A library
// that could not be loaded is looked for again once a minute has passed, or after
// LookForMissingLibrariesAgain: each look walks every folder of the search path, some perhaps
// on a slow network, and the refresh and every drag ask each second.
bool IsLibraryAvailable(ArchiverLibrary library);

// The next query looks again for the libraries that were missing (the settings are opening).
void LookForMissingLibrariesAgain();

// The clock of that minute, in milliseconds as GetTickCount counts them. Tests replace it; an
// empty clock puts GetTickCount back.
void SetLibraryClock(std::function<std::uint32_t()> clock);

// Libraries are looked for in the program's folder, the system's folders and the path, never
// in the current folder, where the open dialog may have left a download folder: a file there
// named like a missing library would be loaded. Called once at start; nothing changes on a
// system without SetDllDirectoryA (before Windows XP SP1).
void LeaveCurrentFolderOutOfLibrarySearch();

// Calls an entry point without arguments; 0 when the library or the entry point is missing.
std::int32_t CallArchiverQuery(ArchiverLibrary library, const char* entryPoint);

// Calls an entry point taking one integer; the result is not used by anyone.
void CallArchiverSetter(ArchiverLibrary library, const char* entryPoint, std::int32_t value);

// Calls a check entry point (path in the system code page, mode); 0 when it cannot be called.
// A processor fault inside the library is raised as EAppError for the top level to report,
// after the library's call has been abandoned, instead of ending the program.
std::int32_t CallArchiverCheck(ArchiverLibrary library, const char* entryPoint,
                               const std::string& path, std::int32_t mode);

// Same, but a fault inside the library simply counts as "no".
std::int32_t CallArchiverCheckFaultAsNo(ArchiverLibrary library, const char* entryPoint,
                                        const std::string& path, std::int32_t mode);

// Frees every held library, in the order the program has always unloaded them.
void UnloadArchiverLibraries();
