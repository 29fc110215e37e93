// Archive recognition by extension, by the archiver libraries and by the cabinet scan.
#include "archive/ArchiveRecognizer.h"

#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/ScopedWin.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

using L = ArchiverLibrary;

// The libraries that draw a busy cursor while checking are told not to, and their own mode
// is put back afterwards, also when the check raises.
std::int32_t CheckWithCursorModeRestored(L library, const char* getMode, const char* setMode,
                                         const char* check, const std::string& path) {
    std::int32_t saved = CallArchiverQuery(library, getMode);
    CallArchiverSetter(library, setMode, 0);
    struct Restore {
        L library;
        const char* setMode;
        std::int32_t saved;
        ~Restore() { CallArchiverSetter(library, setMode, saved); }
    } restore{library, setMode, saved};
    return CallArchiverCheck(library, check, path, 1);
}

bool VerifyLzh(const std::string& path) {
    return CheckWithCursorModeRestored(L::Unlha, "UnlhaGetCursorMode", "UnlhaSetCursorMode",
                                       "UnlhaCheckArchive", path) != 0;
}

bool VerifyArj(const std::string& path) {
    return CheckWithCursorModeRestored(L::Unarj, "UnarjGetCursorMode", "UnarjSetCursorMode",
                                       "UnarjCheckArchive", path) != 0;
}

bool VerifyCab(const std::string& path) {
    return CallArchiverCheck(L::Cab, "CabCheckArchive", path, 1) != 0;
}
bool VerifyZip(const std::string& path) {
    return CallArchiverCheck(L::Unzip, "UnZipCheckArchive", path, 1) != 0;
}
bool VerifyRar(const std::string& path) {
    return CallArchiverCheck(L::Unrar, "UnrarCheckArchive", path, 1) != 0;
}

bool VerifyTar(const std::string& path) {
    // The tar library has been seen to fault on odd input; a fault there means "no".
    return CallArchiverCheckFaultAsNo(L::Tar, "TarCheckArchive", path, 1) != 0;
}

std::uint16_t LibraryVersion(L library, const char* entryPoint) {
    return static_cast<std::uint16_t>(CallArchiverQuery(library, entryPoint) & 0xFFFF);
}

// The quick test of one self-extractor candidate.
bool IsSelfExtractor(const std::string& path) {
    if (IsLibraryAvailable(L::Unlha)) {
        CallArchiverSetter(L::Unlha, "UnlhaSetCursorMode", 0);
        if (CallArchiverCheck(L::Unlha, "UnlhaCheckArchive", path, 4))
            return true;
    }
    if (IsLibraryAvailable(L::Unzip) && LibraryVersion(L::Unzip, "UnZipGetVersion") >= 97 &&
        CallArchiverCheck(L::Unzip, "UnZipCheckArchive", path, 0))
        return true;
    if (IsLibraryAvailable(L::Unrar) && CallArchiverCheck(L::Unrar, "UnrarCheckArchive", path, 0))
        return true;
    if (IsLibraryAvailable(L::Cab))
        return CallArchiverCheck(L::Cab, "CabCheckArchive", path, 0) || HasCabinetSignature(path);
    return false;
}

FileAttributesCall fileAttributes = FileAttributesQuiet;

// Without a single library nothing can be handed over as an archive.
bool AnyLibraryAvailable() {
    static constexpr L kProbeOrder[] = {L::Unlha, L::Zip,   L::Cab,  L::Tar,
                                        L::Unarj, L::Unrar, L::Unzip};
    return std::any_of(std::begin(kProbeOrder), std::end(kProbeOrder), IsLibraryAvailable);
}

bool IsAcceptedByQuickTest(const std::string& path) {
    // The path is read once for its extension; the rules then look at the extension alone.
    const std::string_view ext = FileExtension(path);
    if (auto library = QuickTestLibrary(ext))
        return IsLibraryAvailable(*library);
    return IsExeFile(ext) && MayReadDuringDrag(path.size(), fileAttributes(path)) &&
           IsSelfExtractor(path);
}

} // namespace

bool IsBzip2Supported() {
    if (LibraryVersion(L::Tar, "TarGetVersion") >= 50)
        return true;
    return IsLibraryAvailable(L::Bz2);
}

bool IsArchiverBusy() {
    // Libraries at work for another thread are busy, and are not waited for.
    const TArchiverLibrariesHold hold(true);
    if (!hold.Held())
        return true;
    static constexpr struct {
        L library;
        const char* entryPoint;
    } kBusyQueries[] = {
        {L::Unlha, "UnlhaGetRunning"}, {L::Cab, "CabGetRunning"},     {L::Tar, "TarGetRunning"},
        {L::Unarj, "UnarjGetRunning"}, {L::Unrar, "UnrarGetRunning"}, {L::Unzip, "UnZipGetRunning"},
        {L::Zip, "ZipGetRunning"},
    };
    for (const auto& query : kBusyQueries)
        if (CallArchiverQuery(query.library, query.entryPoint) != 0)
            return true;
    return false;
}

bool AreAllArchives(const std::vector<std::string>& paths) {
    if (paths.empty() || !AnyLibraryAvailable())
        return false;
    for (const std::string& path : paths)
        if (!IsAcceptedByQuickTest(path))
            return false;
    return true;
}

bool AreAllArchivesByName(const std::vector<std::string>& names) {
    if (names.empty() || !AnyLibraryAvailable())
        return false;
    for (const std::string& name : names) {
        auto library = QuickTestLibrary(FileExtension(name));
        if (!library || !IsLibraryAvailable(*library))
            return false;
    }
    return true;
}

ArchiveKind GetArchiveKind(const std::string& path) {
    ArchiveKind kind = ArchiveKindByExtension(path);
    auto verified = [kind](bool yes) { return yes ? kind : ArchiveKind::None; };
    switch (kind) {
    case ArchiveKind::Lzh:
        return verified(VerifyLzh(path));
    case ArchiveKind::Cab:
        return verified(VerifyCab(path));
    case ArchiveKind::Tar:
        return verified(VerifyTar(path));
    case ArchiveKind::Arj:
        return verified(VerifyArj(path));
    case ArchiveKind::Rar:
        return verified(VerifyRar(path));
    case ArchiveKind::Zip:
        return verified(VerifyZip(path));
    case ArchiveKind::None:
        break;
    }
    if (!IsExeFile(path))
        return ArchiveKind::None;
    if (VerifyCab(path))
        return ArchiveKind::Cab;
    if (VerifyZip(path))
        return ArchiveKind::Zip;
    if (VerifyLzh(path))
        return ArchiveKind::Lzh;
    if (HasCabinetSignature(path))
        return ArchiveKind::Cab;
    if (VerifyTar(path))
        return ArchiveKind::Tar;
    if (VerifyArj(path))
        return ArchiveKind::Arj;
    if (VerifyRar(path))
        return ArchiveKind::Rar;
    return ArchiveKind::None;
}

FileAttributesCall ReplaceFileAttributesCall(FileAttributesCall call) {
    FileAttributesCall previous = fileAttributes;
    fileAttributes = call ? call : FileAttributesQuiet;
    return previous;
}

bool HasCabinetSignature(const std::string& path) {
    win::ScopedErrorMode quiet;
    win::ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EFOpenError(FormatText("ファイル %s は開けません", {path}));
    auto buffer = std::make_unique<std::uint8_t[]>(kCabinetScanBuffer); // zero-filled
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer.get(), kCabinetScanRead, &got, nullptr))
        got = 0;
    return FindCabinetSignature(buffer.get(), kCabinetScanBuffer).has_value();
}
