// Whether paths are archives the companion can open, and whether a library is busy.
#pragma once

#include "archive/ArchiveRules.h"
#include "archive/ArchiverLibraries.h"

#include <string>
#include <vector>

// True when the tar library handles bzip2 itself (version 50 or later) or BZ2LIB.dll loads.
bool IsBzip2Supported();

// True when any archiver library reports an operation in progress, or another thread holds the
// libraries (never waiting for them).
bool IsArchiverBusy();

// The quick test of a drop: every path is an archive by its extension (guarded by the
// library of its family), or a self-extracting ".exe" that a library or the cabinet scan
// accepts. An ".exe" whose bytes are not on the disk (a cloud placeholder), or whose path is too
// long for the libraries, is not read and so no archive. An empty list, or no library at all,
// gives false. Raises EFOpenError when an ".exe" cannot be opened for the cabinet scan.
bool AreAllArchives(const std::vector<std::string>& paths);

// The quick test of names whose files are not there yet (files a drag offers from inside its
// source): by the extension alone, guarded by the library of its family. A self-extractor cannot
// be told before its bytes are there, so an ".exe" is no archive here.
bool AreAllArchivesByName(const std::vector<std::string>& names);

// The call the quick test asks a file's attributes with (FileAttributesQuiet). Tests put one of
// their own in its place for the files Wine cannot stage (offline ones); the one in place before
// is returned.
using FileAttributesCall = std::uint32_t (*)(const std::string& path);
FileAttributesCall ReplaceFileAttributesCall(FileAttributesCall call);

// The verified test of one path: the library of the family its extension names checks the
// content. For ".exe" the libraries and the cabinet scan are tried in turn.
ArchiveKind GetArchiveKind(const std::string& path);

// Looks for a cabinet header in the first 104 KB of a file. Raises EFOpenError
// ("ファイル %s は開けません") when the file cannot be opened.
bool HasCabinetSignature(const std::string& path);
