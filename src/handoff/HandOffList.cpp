// Hand-off list files in the temporary folder.
#include "handoff/HandOffList.h"

#include "handoff/CommandLines.h"
#include "util/SystemLookups.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <vector>

namespace {

// The 8.3 form of an existing path, so the companion's command line carries no spaces. When
// the platform cannot give one (no short names on that volume, or any failure) the long path
// is the best there is and is used as it is.
std::string ShortPathOf(const std::string& longPath) {
    DWORD needed = GetShortPathNameA(longPath.c_str(), nullptr, 0);
    if (needed == 0)
        return longPath;
    std::vector<char> buffer(needed + 1);
    DWORD length = GetShortPathNameA(longPath.c_str(), buffer.data(), needed + 1);
    if (length == 0 || length > needed)
        return longPath;
    return std::string(buffer.data(), length);
}

} // namespace

bool WriteHandOffList(const std::vector<std::string>& paths, std::string& listPath) {
    const std::string tempFolder = PlatformTempPath();
    if (tempFolder.empty())
        return false;
    // GetTempFileNameA never writes more than MAX_PATH bytes: it refuses a folder too long to
    // take the "MRVxxxx.TMP" name within that.
    char fileName[MAX_PATH + 1] = {};
    if (GetTempFileNameA(tempFolder.c_str(), "MRV", 0, fileName) == 0)
        return false;
    const std::string path = ShortPathOf(fileName);

    win::ScopedErrorMode quiet;
    win::ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    // The companion finds out for itself whether the paths are usable, so a short write is not
    // told apart here either.
    const std::string text = HandOffListText(paths);
    if (!text.empty()) {
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    file.reset();
    listPath = path;
    return true;
}

bool WriteSingleHandOffList(const std::string& path, std::string& listPath) {
    return WriteHandOffList(std::vector<std::string>{path}, listPath);
}
