// What a path's extension says about archives, and the cabinet signature search (no Win32 calls).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The archive family assigned to a path. Callers only tell None from the rest.
enum class ArchiveKind { None = 0, Lzh = 1, Cab = 2, Tar = 3, Arj = 4, Rar = 5, Zip = 6 };

// The archiver libraries, loaded on first need and kept until the program ends.
enum class ArchiverLibrary { Unlha, Unzip, Zip, Cab, Tar, Unarj, Unrar, Bz2 };

// The library's file name as it is loaded ("Unlha32.dll", ...). RAR is "unrar32.dll".
const char* ArchiverLibraryFile(ArchiverLibrary library);

// The extension of the path's file name, its dot included, as a view into the path; empty when
// the name has none. Double-byte aware, and it allocates nothing: the quick test of a drop runs
// it for every dropped path. The extension of an extension is itself.
std::string_view FileExtension(std::string_view path);

// The family an extension names; ".EXE" is not among them.
ArchiveKind ArchiveKindByExtension(std::string_view path);

// Whether a path may be taken as an archive on its extension alone (used for empty files,
// which no library can check): LZH, CAB, tar family, ZIP and ".exe"; not ARJ or RAR.
bool IsArchiveByExtension(std::string_view path);

// The library that must be loaded for the quick list test to take an archive extension on
// trust; nothing for ".exe" and for extensions that are not archives.
std::optional<ArchiverLibrary> QuickTestLibrary(std::string_view path);

bool IsExeFile(std::string_view path);

// The longest path handed to an archiver library: they keep paths in buffers of the platform's
// old limit (260 bytes with the terminator).
inline constexpr std::size_t kLongestLibraryPath = 259;

// Whether the quick test of a drag may read a self-extractor candidate to decide, by its path's
// length and its file attributes. A file whose bytes are not on the disk (offline, or recalled
// when opened or read: a cloud placeholder) would be fetched whole first, inside the source's
// drag loop; a path too long for the libraries is never handed to them.
bool MayReadDuringDrag(std::size_t pathLength, std::uint32_t attributes);

// The cabinet scan reads this many bytes at most from the start of a file into a
// zero-filled buffer one byte larger, and looks for the signature at offsets up to
// kCabinetLastOffset, so a file that ends in "MSCF" matches.
inline constexpr std::size_t kCabinetScanBuffer = 0x1A000;
inline constexpr std::size_t kCabinetScanRead = 0x19FFF;
inline constexpr std::size_t kCabinetLastOffset = 106488;

// Offset of the first "MSCF\0\0\0\0" in the scan buffer, or nothing.
std::optional<std::size_t> FindCabinetSignature(const std::uint8_t* buffer, std::size_t size);
