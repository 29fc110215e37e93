// Hand-off list files in the temporary folder.
#include "handoff/HandOffList.h"

#include "handoff/CommandLines.h"
#include "util/CodePagePath.h"
#include "util/Errors.h"
#include "util/PathRules.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

#include <windows.h>

#include <algorithm>
#include <optional>
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

ListWriteCall writeCall = WriteFile;

// The temporary folder in the code page; empty when the platform has none. A folder whose name
// the code page cannot write ("C:\Users\José\..." on a volume without short names) is told,
// rather than guessed at by a look-alike that names some other folder.
std::string ListFolder() {
    const std::wstring folder = WideTempPath();
    if (folder.empty())
        return {};
    if (std::optional<std::string> path = CodePagePath(folder))
        return *path;
    throw EAppError(TempFolderOutsideCodePageMessage(CodePageTextForDisplay(folder)));
}

// Writes all the bytes, or says it could not.
bool WriteWhole(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!writeCall(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool WriteHandOffList(const std::vector<std::string>& paths, std::string& listPath) {
    const std::string tempFolder = ListFolder();
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
    // A list cut short would hand over only some of the files, and the import would report
    // them all: it is taken back as a whole instead.
    if (!WriteWhole(file.get(), HandOffListText(paths))) {
        file.reset();
        DeleteFileA(path.c_str());
        return false;
    }
    file.reset();
    listPath = path;
    return true;
}

ListWriteCall ReplaceListWriteCall(ListWriteCall call) {
    ListWriteCall previous = writeCall;
    writeCall = call ? call : WriteFile;
    return previous;
}

bool WriteSingleHandOffList(const std::string& path, std::string& listPath) {
    return WriteHandOffList(std::vector<std::string>{path}, listPath);
}
