// Shared by the hand-off tests: a temporary folder of the test's choosing, a clean settings tree
// and the list files found in a folder.
#pragma once

#include "settings/SettingsTable.h"
#include "support/WinTestSupport.h"

#include <windows.h>
#include <shlwapi.h>

#include <set>
#include <string>

namespace handoff_test {

// Removes HKEY_CURRENT_USER\Software\Tavi\Morva with everything below it.
inline void DeleteSettingsTree() {
    SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey);
}

// Names of the list files ("MRV....TMP", any case) in folder (ending in '\\').
inline std::set<std::string> ListFilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "MRV*.TMP").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

inline std::string ShortPathOf(const std::string& path) {
    char buffer[1024];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

} // namespace handoff_test
