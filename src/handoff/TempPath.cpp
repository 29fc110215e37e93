// The platform's temporary folder.
#include "handoff/TempPath.h"

#include <windows.h>

#include <vector>

std::string GetTempFolderPath() {
    // Asked with too small a buffer, GetTempPathA answers the size it needs (NUL included);
    // the TMP variable may change in between, so ask again until the answer fits.
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return {};
}
