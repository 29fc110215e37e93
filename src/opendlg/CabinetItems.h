// The places of the archive open dialog: folders it jumps to with one click, from the shared
// settings ("Dialog\Cabinet") or the usual four.
#pragma once

#include <string>
#include <vector>

enum class TRootFolder {
    rfCurrent,
    rfInitialDir,
    rfApplication,
    rfDesktop,
    rfMyDocument,
    rfMyComputer,
    rfNetwork,
};

struct TCabinetItem {
    std::string Caption;
    TRootFolder RootFolder = TRootFolder::rfCurrent;
    std::string FolderPath;
    int ImageIndex = 0; // 0: the shell gives the icon
};

using TCabinetItems = std::vector<TCabinetItem>;

// The shell paths of the computer and the network places.
inline constexpr const char* MyComputerPath = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
inline constexpr const char* NetworkPath = "::{208D2C60-3AEA-1069-A2D7-08002B30309D}";

// Fills `items` from the settings; without places there (no "Count", or 0) the desktop, the
// computer, the network (when the shell has one) and the documents. A "Count" of the wrong type
// or larger than the key can hold reads the places that are there. Returns how many.
int LoadPlaces(TCabinetItems& items);

// Where a place leads: a folder path or a shell path ("::{...}").
std::string PlacePath(const TCabinetItem& item, const std::string& initialDir);

// The path is a shell path rather than a folder.
bool IsShellPath(const std::string& path);
