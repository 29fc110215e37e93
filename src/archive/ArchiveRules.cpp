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

// An extension against an upper- or lower-case ASCII literal, letters compared without case.
// Byte by byte is safe here: a double-byte character's lead byte never equals an ASCII byte,
// so an extension holding one never matches.
bool SameExtension(std::string_view ext, std::string_view literal) {
    if (ext.size() != literal.size())
        return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        char a = ext[i], b = literal[i];
        if (a >= 'a' && a <= 'z')
            a = char(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = char(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

std::string_view FileExtension(std::string_view path) {
    // No trail byte of the code page is a '.' (0x2E) or a ':' (0x3A), only a '\\' may be one:
    // the last '.' byte is the last dot, found from the end, and from it on the characters are
    // read in order to see that no separator follows it.
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    for (std::size_t i = dot + 1; i < path.size(); i = mbcs::NextChar(path, i))
        if (path[i] == '\\' || path[i] == ':')
            return {};
    return path.substr(dot);
}

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
    const std::string_view ext = FileExtension(path);
    for (const auto& entry : kKindTable)
        if (SameExtension(ext, entry.ext))
            return entry.kind;
    return ArchiveKind::None;
}

bool IsExeFile(std::string_view path) {
    return SameExtension(FileExtension(path), ".EXE");
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
    const std::string_view ext = FileExtension(path);
    for (const auto& rule : kQuickTable)
        if (SameExtension(ext, rule.ext))
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
