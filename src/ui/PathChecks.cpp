// Checks of names, folders and write access with their messages.
#include "ui/PathChecks.h"

#include <vector>

#include "ui/MessageBox.h"
#include "util/FileProbe.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"

namespace {

// The fully expanded path, however long; the path itself when it cannot be expanded.
std::string FullPath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::vector<char> buffer(size + 1);
    DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size())
        return path;
    return std::string(buffer.data(), length);
}

// Where the marker goes: into the folder itself when it exists, as that is where files will be
// written (a drive's root may refuse files while the folder takes them, and the other way
// round); otherwise the network folder's parent or the root of the local drive ("C:\").
std::string MarkerPath(const std::string& path) {
    if (FolderExists(path))
        return AddTrailingSeparator(IsUncPath(path, '\\') ? path : FullPath(path)) +
               kWriteMarkerName;
    if (IsUncPath(path, '\\'))
        return ExtractFilePath(path) + kWriteMarkerName;
    return FullPath(path).substr(0, 3) + kWriteMarkerName;
}

// Creates and deletes the marker; 0 on success, else the platform's error code.
DWORD TryMarker(const std::string& marker) {
    win::ScopedErrorMode quiet;
    win::ScopedHandle file(CreateFileA(marker.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error != 0 ? error : ERROR_ACCESS_DENIED;
    }
    file.reset();
    DeleteFileA(marker.c_str());
    return 0;
}

} // namespace

bool IsValidFileName(HWND owner, const std::string& name) {
    if (!HasForbiddenNameChar(name))
        return true;
    ShowMessageBox(owner, InvalidFileNameMessage(name), MessageKind::Error, MessageButton::OK);
    return false;
}

bool ValidateFolderPath(HWND owner, const std::string& path) {
    std::optional<std::string> problem =
        FolderPathProblem(path, [](const std::string& folder) { return FolderExists(folder); });
    if (!problem)
        return true;
    ShowMessageBox(owner, *problem, MessageKind::Error, MessageButton::OK);
    return false;
}

bool CheckFolderWritable(HWND owner, const std::string& path) {
    const std::string marker = MarkerPath(path);
    for (;;) {
        DWORD error = TryMarker(marker);
        if (error == 0)
            return true;
        if (IsUncPath(path, '\\')) {
            ShowMessageBox(owner, NetworkAccessDeniedMessage(ExtractFilePath(path)),
                           MessageKind::Error, MessageButton::OK);
            return false;
        }
        // Only Retry goes round again; Cancel, and a dialog that could not be shown, end it.
        if (ShowSystemError(owner, error, kWriteCheckLead, MessageButton::RetryCancel) !=
            MessageResult::Retry)
            return false;
    }
}
