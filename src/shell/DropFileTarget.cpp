// The file names of a drop (from a data object or the clipboard), the clipboard formats of
// drags and the program-wide OLE set-up.
#include "shell/DropTarget.h"

#include <climits>
#include <string>

namespace {

std::string WideToAnsiCodePage(std::u16string_view wide) {
    if (wide.empty() || wide.size() > INT_MAX / 4)
        return {};
    auto* text = reinterpret_cast<const wchar_t*>(wide.data());
    int length = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), bytes, nullptr, nullptr);
    return out;
}

// Every character of the wide text has its own form in the program's code page: none would be
// replaced by '?' or a look-alike.
bool FitsCodePage(std::wstring_view wide) {
    BOOL replaced = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        nullptr, 0, nullptr, &replaced);
    return !replaced;
}

// A dropped path with characters the code page lacks (Korean, accented letters, emoji) would
// reach the companion with '?' or look-alikes in their place: a path to no file, or, read as
// a wildcard, to other files. Such a path is given in its short form, which the file system
// builds from characters every code page has. Without a short form it stays as converted.
std::string WidePathToAnsiCodePage(std::u16string_view wide) {
    std::wstring path(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
    if (path.size() > INT_MAX / 4 || FitsCodePage(path))
        return WideToAnsiCodePage(wide);
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::wstring shortPath(needed, L'\0');
    DWORD length = needed ? GetShortPathNameW(path.c_str(), shortPath.data(), needed) : 0;
    if (length == 0 || length >= needed)
        return WideToAnsiCodePage(wide);
    shortPath.resize(length);
    if (!FitsCodePage(shortPath))
        return WideToAnsiCodePage(wide);
    return WideToAnsiCodePage(
        std::u16string_view(reinterpret_cast<const char16_t*>(shortPath.data()), length));
}

// Calls `read` with the bytes of a global memory block, never more than the block holds.
template <class Read> bool ReadGlobal(HGLOBAL block, Read read) {
    if (!block)
        return false;
    SIZE_T size = GlobalSize(block);
    auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
    if (!bytes)
        return false;
    struct Unlock {
        HGLOBAL block;
        ~Unlock() { GlobalUnlock(block); }
    } unlock{block};
    read(bytes, static_cast<std::size_t>(size));
    return true;
}

// Releases a storage medium that GetData filled, also when reading it fails.
struct ScopedMedium {
    STGMEDIUM medium{};
    ~ScopedMedium() { Release(); }
    void Release() {
        if (medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium);
        medium = STGMEDIUM{};
    }
};

FORMATETC GlobalFormat(UINT format) {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

const DropClipboardFormats& DropFormats() {
    static const DropClipboardFormats formats{
        RegisterClipboardFormatA("FileContents"),
        RegisterClipboardFormatA("FileGroupDescriptor"),
        RegisterClipboardFormatA("Shell IDList Array"),
        RegisterClipboardFormatA("Preferred DropEffect"),
        RegisterClipboardFormatA("UniformResourceLocator"),
        RegisterClipboardFormatA("FileNameMap"),
        RegisterClipboardFormatA("FileNameMapW"),
    };
    return formats;
}

ScopedDropSupport::ScopedDropSupport() {
    initialized_ = SUCCEEDED(OleInitialize(nullptr));
    DropFormats();
    if (FAILED(SHGetMalloc(&shellMalloc_)))
        shellMalloc_ = nullptr;
}

ScopedDropSupport::~ScopedDropSupport() {
    if (shellMalloc_)
        shellMalloc_->Release();
    if (initialized_)
        OleUninitialize();
}

// --- TDropFileTarget ----------------------------------------------------------------------

bool TDropFileTarget::AcceptsData(IDataObject* data) {
    FORMATETC format = GlobalFormat(CF_HDROP);
    return data->QueryGetData(&format) == S_OK;
}

bool TDropFileTarget::ExtractData(IDataObject* data) {
    ClearData();
    FORMATETC format = GlobalFormat(CF_HDROP);
    ScopedMedium files;
    if (FAILED(data->GetData(&format, &files.medium)))
        return false;
    bool read = files.medium.tymed == TYMED_HGLOBAL && ReadFileBlock(files.medium.hGlobal);
    files.Release();
    if (!read)
        return false;

    const DropClipboardFormats& formats = DropFormats();
    for (auto [id, wide] : {std::pair{formats.fileNameMap, false}, {formats.fileNameMapW, true}}) {
        format = GlobalFormat(id);
        ScopedMedium map;
        if (FAILED(data->GetData(&format, &map.medium)))
            continue;
        std::vector<std::string> mapped;
        if (map.medium.tymed == TYMED_HGLOBAL)
            ReadGlobal(map.medium.hGlobal, [&](const std::uint8_t* bytes, std::size_t size) {
                mapped = dropfiles::ParseNameList(bytes, size, wide, WideToAnsiCodePage);
            });
        mappedNames_ = dropfiles::MatchMappedNames(std::move(mapped), files_.size());
        break;
    }
    return true;
}

void TDropFileTarget::ClearData() {
    files_.clear();
    mappedNames_.clear();
}

bool TDropFileTarget::ReadFileBlock(HGLOBAL block) {
    ReadGlobal(block, [&](const std::uint8_t* bytes, std::size_t size) {
        files_ = dropfiles::ParseDropFiles(bytes, size, WidePathToAnsiCodePage);
    });
    return !files_.empty();
}

DWORD TDropFileTarget::PasteFromClipboard() {
    ClearData();
    if (!OpenClipboard(nullptr))
        return DROPEFFECT_NONE;
    // Every program waits for the clipboard while it is open: closed on every way out.
    struct Close {
        ~Close() { CloseClipboard(); }
    } close;
    DWORD effect = DROPEFFECT_NONE;
    if (ReadFileBlock(static_cast<HGLOBAL>(GetClipboardData(CF_HDROP)))) {
        effect = DROPEFFECT_COPY;
        auto preferred = static_cast<HGLOBAL>(GetClipboardData(DropFormats().preferredDropEffect));
        ReadGlobal(preferred, [&](const std::uint8_t* bytes, std::size_t size) {
            if (size >= sizeof(DWORD))
                effect = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | DWORD(bytes[3]) << 24;
        });
    }
    return effect;
}
