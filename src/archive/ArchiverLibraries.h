// The archiver libraries: loaded by bare file name on first need, kept until the end,
// entry points looked up by name at every call.
#pragma once

#include "archive/ArchiveRules.h"

#include <cstdint>
#include <string>

// Loads the library when no handle is held yet and tells whether one is held now. A failed
// load is not remembered, so a library that appears later is picked up by the next query.
bool IsLibraryAvailable(ArchiverLibrary library);

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
