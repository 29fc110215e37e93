// Extension tables of the archive families and the cabinet signature search.
#include "archive/ArchiveRules.h"

#include "util/Mbcs.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

struct KindByExtension {
    const char* ext;
    ArchiveKind kind;
};

// Upper-case extensions, in the order they are tried.
constexpr std::array<KindByExtension, 11> kKindTable{{
    {".LZH", ArchiveKind::Lzh},
    {".CAB", ArchiveKind::Cab},
    {".TAR", ArchiveKind::Tar},
    {".TAZ", ArchiveKind::Tar},
    {".GZ", ArchiveKind::Tar},
    {".Z", ArchiveKind::Tar},
    {".TGZ", ArchiveKind::Tar},
    {".BZ2", ArchiveKind::Tar},
    {".ARJ", ArchiveKind::Arj},
    {".RAR", ArchiveKind::Rar},
    {".ZIP", ArchiveKind::Zip},
}};

struct QuickRule {
    const char* ext;
    ArchiverLibrary library;
};

// Lower-case extensions of the quick list test, in the order they are tried.
constexpr std::array<QuickRule, 11> kQuickTable{{
    {".lzh", ArchiverLibrary::Unlha},
    {".zip", ArchiverLibrary::Unzip},
    {".arj", ArchiverLibrary::Unarj},
    {".tar", ArchiverLibrary::Tar},
    {".tgz", ArchiverLibrary::Tar},
    {".taz", ArchiverLibrary::Tar},
    {".z", ArchiverLibrary::Tar},
    {".bz2", ArchiverLibrary::Tar},
    {".gz", ArchiverLibrary::Tar},
    {".cab", ArchiverLibrary::Cab},
    {".rar", ArchiverLibrary::Unrar},
}};

} // namespace

const char* ArchiverLibraryFile(ArchiverLibrary library) {
    switch (library) {
    case ArchiverLibrary::Unlha:
        return "Unlha32.dll";
    case ArchiverLibrary::Unzip:
        return "Unzip32.dll";
    case ArchiverLibrary::Zip:
        return "Zip32j.dll";
    case ArchiverLibrary::Cab:
        return "cab32.dll";
    case ArchiverLibrary::Tar:
        return "Tar32.dll";
    case ArchiverLibrary::Unarj:
        return "Unarj32j.dll";
    case ArchiverLibrary::Unrar:
        return "unrar32.dll";
    case ArchiverLibrary::Bz2:
        return "BZ2LIB.dll";
    }
    return "";
}

ArchiveKind ArchiveKindByExtension(std::string_view path) {
    if (path.empty())
        return ArchiveKind::None;
    std::string ext = mbcs::AsciiUpper(mbcs::ExtractFileExt(path));
    for (const auto& entry : kKindTable)
        if (ext == entry.ext)
            return entry.kind;
    return ArchiveKind::None;
}

bool IsExeFile(std::string_view path) {
    return mbcs::AsciiUpper(mbcs::ExtractFileExt(path)) == ".EXE";
}

bool IsArchiveByExtension(std::string_view path) {
    switch (ArchiveKindByExtension(path)) {
    case ArchiveKind::Lzh:
    case ArchiveKind::Cab:
    case ArchiveKind::Tar:
    case ArchiveKind::Zip:
        return true;
    case ArchiveKind::Arj:
    case ArchiveKind::Rar:
        return false;
    case ArchiveKind::None:
        return IsExeFile(path);
    }
    return false;
}

std::optional<ArchiverLibrary> QuickTestLibrary(std::string_view path) {
    std::string ext = mbcs::AsciiLower(mbcs::ExtractFileExt(path));
    for (const auto& rule : kQuickTable)
        if (ext == rule.ext)
            return rule.library;
    return std::nullopt;
}

std::optional<std::size_t> FindCabinetSignature(const std::uint8_t* buffer, std::size_t size) {
    static constexpr std::uint8_t kSignature[8] = {'M', 'S', 'C', 'F', 0, 0, 0, 0};
    if (size < sizeof kSignature)
        return std::nullopt;
    std::size_t last = std::min(kCabinetLastOffset, size - sizeof kSignature);
    const std::uint8_t* end = buffer + last + sizeof kSignature;
    const std::uint8_t* hit = std::search(buffer, end, kSignature, kSignature + sizeof kSignature);
    if (hit == end)
        return std::nullopt;
    return static_cast<std::size_t>(hit - buffer);
}
