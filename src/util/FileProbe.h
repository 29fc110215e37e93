// Quiet questions to the file system: no critical-error box ("insert a disk") is ever shown,
// so an empty removable drive simply counts as absent.
#pragma once

#include <cstdint>
#include <string>

// The path names an existing folder.
bool FolderExists(const std::string& path);

// The path names an existing file (not a folder).
bool FileExistsQuiet(const std::string& path);

// The file attributes of the path, 0 when it does not exist.
std::uint32_t FileAttributesQuiet(const std::string& path);

// The size found by a directory search for the path (any attributes), 0 when none is found.
std::uint64_t FileSizeQuiet(const std::string& path);

// An existing file of size 0.
bool IsEmptyFile(const std::string& path);

// False for UNC paths; otherwise the drive of the first character is removable.
bool IsRemovableDrive(const std::string& path);

// True for UNC paths; otherwise the drive of the first character is a network drive.
bool IsNetworkPath(const std::string& path);

// The drive-type question of IsRemovableDrive and IsNetworkPath (GetDriveTypeA of a root such as
// "C:\\"). A test replaces it to stand for a network drive, which Wine reports as a fixed one.
// Returns the one replaced; null puts the platform's back.
using DriveTypeCall = unsigned (*)(const char* root);
DriveTypeCall SetDriveTypeCall(DriveTypeCall call);

// True for UNC paths; otherwise the drive of the first character has a readable volume.
bool IsDriveReady(const std::string& path);

// Sizes of the drive of the path's first character (the current drive for an empty path).
double DiskTotalBytes(const std::string& path);
double DiskFreeBytes(const std::string& path);
