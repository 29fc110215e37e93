// Extension tables of the archive families and the cabinet signature search.
#include "archive/ArchiveRules.h"

#include "util/Mbcs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// An extension of at most four bytes with its ASCII letters folded to lower case, packed
// into one word, so that a table look-up compares words instead of strings; 0 for anything
// longer, which no table holds. Folding byte by byte is safe: a double-byte character's lead
// byte is never an ASCII byte, so an extension holding one never equals an ASCII literal.
constexpr std::uint32_t ExtensionKey(std::string_view ext) {
    if (ext.size() > 4)
        return 0;
    std::uint32_t key = 0;
    for (char c : ext) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        key = key << 8 | static_cast<unsigned char>(c);
    }
    return key;
}

struct KindByExtension {
    std::uint32_t key;
    ArchiveKind kind;
};

// The extensions of the archive families, in the order they are tried.
constexpr std::array<KindByExtension, 11> kKindTable{{
    {ExtensionKey(".lzh"), ArchiveKind::Lzh},
    {ExtensionKey(".cab"), ArchiveKind::Cab},
    {ExtensionKey(".tar"), ArchiveKind::Tar},
    {ExtensionKey(".taz"), ArchiveKind::Tar},
    {ExtensionKey(".gz"), ArchiveKind::Tar},
    {ExtensionKey(".z"), ArchiveKind::Tar},
    {ExtensionKey(".tgz"), ArchiveKind::Tar},
    {ExtensionKey(".bz2"), ArchiveKind::Tar},
    {ExtensionKey(".arj"), ArchiveKind::Arj},
    {ExtensionKey(".rar"), ArchiveKind::Rar},
    {ExtensionKey(".zip"), ArchiveKind::Zip},
}};

struct QuickRule {
    std::uint32_t key;
    ArchiverLibrary library;
};

// The extensions of the quick list test, in the order they are tried.
constexpr std::array<QuickRule, 11> kQuickTable{{
    {ExtensionKey(".lzh"), ArchiverLibrary::Unlha},
    {ExtensionKey(".zip"), ArchiverLibrary::Unzip},
    {ExtensionKey(".arj"), ArchiverLibrary::Unarj},
    {ExtensionKey(".tar"), ArchiverLibrary::Tar},
    {ExtensionKey(".tgz"), ArchiverLibrary::Tar},
    {ExtensionKey(".taz"), ArchiverLibrary::Tar},
    {ExtensionKey(".z"), ArchiverLibrary::Tar},
    {ExtensionKey(".bz2"), ArchiverLibrary::Tar},
    {ExtensionKey(".gz"), ArchiverLibrary::Tar},
    {ExtensionKey(".cab"), ArchiverLibrary::Cab},
    {ExtensionKey(".rar"), ArchiverLibrary::Unrar},
}};

constexpr std::uint32_t kExeKey = ExtensionKey(".exe");

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
    const std::uint32_t key = ExtensionKey(FileExtension(path));
    for (const auto& entry : kKindTable)
        if (key == entry.key)
            return entry.kind;
    return ArchiveKind::None;
}

bool IsExeFile(std::string_view path) {
    return ExtensionKey(FileExtension(path)) == kExeKey;
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
    const std::uint32_t key = ExtensionKey(FileExtension(path));
    for (const auto& rule : kQuickTable)
        if (key == rule.key)
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

bool MayReadDuringDrag(std::size_t pathLength, std::uint32_t attributes) {
    // FILE_ATTRIBUTE_OFFLINE, FILE_ATTRIBUTE_RECALL_ON_OPEN, FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS.
    constexpr std::uint32_t kNotOnTheDisk = 0x1000 | 0x40000 | 0x400000;
    return pathLength <= kLongestLibraryPath && !(attributes & kNotOnTheDisk);
}
