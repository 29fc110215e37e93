// Where history lists live in the registry: a root key and a key per list holding the integer
// "Count" and the strings "0", "1", ..., "0" being the newest.
#pragma once

#include <windows.h>

#include <string>

#include "history/HistoryList.h"

enum class TRootKey {
    hkClassesRoot,
    hkCurrentConfig,
    hkCurrentUser,
    hkDynData,
    hkLocalMachine,
    hkUsers,
};

HKEY RootKeyHandle(TRootKey root);

// A history list that ignores case by the user's locale (CompareTextIgnoreCase).
THistoryList MakeHistoryList();

// Deletes `path` below `root` with every key and value in it; false when it is not there or
// cannot be deleted.
bool DeleteRegistryTree(TRootKey root, const std::string& path);
