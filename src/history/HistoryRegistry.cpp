// Where history lists live in the registry.
#include "history/HistoryRegistry.h"

#include <shlwapi.h>

#include "util/LocaleText.h"

HKEY RootKeyHandle(TRootKey root) {
    switch (root) {
    case TRootKey::hkClassesRoot:
        return HKEY_CLASSES_ROOT;
    case TRootKey::hkCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case TRootKey::hkCurrentUser:
        return HKEY_CURRENT_USER;
    case TRootKey::hkDynData:
        return HKEY_DYN_DATA;
    case TRootKey::hkLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case TRootKey::hkUsers:
        return HKEY_USERS;
    }
    return HKEY_CURRENT_USER;
}

THistoryList MakeHistoryList() {
    return THistoryList(&CompareTextIgnoreCase);
}

bool DeleteRegistryTree(TRootKey root, const std::string& path) {
    // An empty path would name the root itself.
    if (path.empty())
        return false;
    return SHDeleteKeyA(RootKeyHandle(root), path.c_str()) == ERROR_SUCCESS;
}
