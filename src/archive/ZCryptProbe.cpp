// The probe for "ZCrypt32.DLL": loaded and let go at once.
#include "archive/ZCryptProbe.h"

#include <windows.h>

#include "util/ScopedWin.h"

namespace {
bool zcryptFound = false;
}

bool IsZCryptAvailable() {
    if (zcryptFound)
        return true;
    win::ScopedErrorMode quiet;
    if (HMODULE library = LoadLibraryA("ZCrypt32.DLL")) {
        FreeLibrary(library);
        zcryptFound = true;
    }
    return zcryptFound;
}
