// Quiet questions to the file system.
#include "util/FileProbe.h"

#include "util/PathText.h"
#include "util/ScopedWin.h"

#include <atomic>

namespace {

std::string DriveRoot(const std::string& path) {
    return std::string(1, path[0]) + ":\\";
}

unsigned PlatformDriveType(const char* root) {
    return GetDriveTypeA(root);
}
std::atomic<DriveTypeCall> driveTypeCall{PlatformDriveType};

unsigned DriveType(const std::string& path) {
    return driveTypeCall.load()(DriveRoot(path).c_str());
}

// Bytes per cluster, total clusters and free clusters of the path's drive.
bool DiskFigures(const std::string& path, double& clusterBytes, double& total, double& free) {
    std::string root;
    if (!path.empty()) {
        char letter = path[0];
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 'a' + 'A');
        root = std::string(1, letter) + ":\\";
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    win::ScopedErrorMode quiet;
    if (!GetDiskFreeSpaceA(root.empty() ? nullptr : root.c_str(), &sectorsPerCluster,
                           &bytesPerSector, &freeClusters, &totalClusters))
        return false;
    clusterBytes = static_cast<double>(sectorsPerCluster) * bytesPerSector;
    total = totalClusters;
    free = freeClusters;
    return true;
}

} // namespace

std::uint32_t FileAttributesQuiet(const std::string& path) {
    win::ScopedErrorMode quiet;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}

bool FolderExists(const std::string& path) {
    win::ScopedErrorMode quiet;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExistsQuiet(const std::string& path) {
    win::ScopedErrorMode quiet;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::uint64_t FileSizeQuiet(const std::string& path) {
    win::ScopedErrorMode quiet;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool IsEmptyFile(const std::string& path) {
    return FileExistsQuiet(path) && FileSizeQuiet(path) == 0;
}

bool IsRemovableDrive(const std::string& path) {
    if (path.empty() || IsUncPath(path))
        return false;
    return DriveType(path) == DRIVE_REMOVABLE;
}

bool IsNetworkPath(const std::string& path) {
    if (IsUncPath(path))
        return true;
    return !path.empty() && DriveType(path) == DRIVE_REMOTE;
}

DriveTypeCall SetDriveTypeCall(DriveTypeCall call) {
    return driveTypeCall.exchange(call ? call : PlatformDriveType);
}

bool IsDriveReady(const std::string& path) {
    if (IsUncPath(path))
        return true;
    if (path.empty())
        return false;
    win::ScopedErrorMode quiet;
    return GetVolumeInformationA(DriveRoot(path).c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                 nullptr, 0) != FALSE;
}

double DiskTotalBytes(const std::string& path) {
    double clusterBytes = 0, total = 0, free = 0;
    return DiskFigures(path, clusterBytes, total, free) ? clusterBytes * total : 0;
}

double DiskFreeBytes(const std::string& path) {
    double clusterBytes = 0, total = 0, free = 0;
    return DiskFigures(path, clusterBytes, total, free) ? clusterBytes * free : 0;
}
