// The file names of a drop (from a data object or the clipboard), the clipboard formats of
// drags and the program-wide OLE set-up.
#include "shell/DropTarget.h"

#include "archive/DropRules.h"
#include "util/CodePagePath.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

// A bare name (a file-name map's) has no short form: it comes as it is or not at all.
std::string ExactName(std::u16string_view wide) {
    return ExactCodePageText(
               std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()))
        .value_or(std::string());
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

FORMATETC GlobalFormat(UINT format) {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

const DropClipboardFormats& DropFormats() {
    static const DropClipboardFormats formats{
        RegisterClipboardFormatA("FileContents"),
        RegisterClipboardFormatA("FileGroupDescriptor"),
        RegisterClipboardFormatA("FileGroupDescriptorW"),
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
    if (data->QueryGetData(&format) == S_OK)
        return true;
    const DropClipboardFormats& formats = DropFormats();
    FORMATETC wide = GlobalFormat(formats.fileGroupDescriptorW);
    FORMATETC ansi = GlobalFormat(formats.fileGroupDescriptor);
    if (data->QueryGetData(&wide) != S_OK && data->QueryGetData(&ansi) != S_OK)
        return false;
    // Asked without an item, or for the first one: sources answer one or the other.
    for (LONG index : {-1, 0}) {
        FORMATETC contents{static_cast<CLIPFORMAT>(formats.fileContents), nullptr,
                           DVASPECT_CONTENT, index, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE};
        if (data->QueryGetData(&contents) == S_OK)
            return true;
    }
    return false;
}

bool TDropFileTarget::ExtractData(IDataObject* data) {
    ClearData();
    FORMATETC format = GlobalFormat(CF_HDROP);
    if (data->QueryGetData(&format) != S_OK)
        return ReadFileGroup(data);
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
                mapped = dropfiles::ParseNameList(bytes, size, wide, ExactName);
            });
        refused_ = refused_ || droprules::AnyHasControlCharacter(mapped);
        mappedNames_ = dropfiles::MatchMappedNames(std::move(mapped), files_.size());
        break;
    }
    return true;
}

void TDropFileTarget::ClearData() {
    files_.clear();
    leftOut_.clear();
    mappedNames_.clear();
    virtualFiles_ = false;
    group_ = vfiles::FileGroup{};
    virtualNames_.clear();
    refused_ = false;
}

bool TDropFileTarget::ReadFileGroup(IDataObject* data) {
    // The wide descriptor when there is one: the code page may lack characters of the names.
    const DropClipboardFormats& formats = DropFormats();
    for (auto [id, wide] :
         {std::pair{formats.fileGroupDescriptorW, true}, {formats.fileGroupDescriptor, false}}) {
        FORMATETC format = GlobalFormat(id);
        ScopedMedium descriptor;
        if (FAILED(data->GetData(&format, &descriptor.medium)) ||
            descriptor.medium.tymed != TYMED_HGLOBAL)
            continue;
        ReadGlobal(descriptor.medium.hGlobal, [&](const std::uint8_t* bytes, std::size_t size) {
            group_ = vfiles::ParseFileGroup(bytes, size, wide, [](std::string_view name) {
                const std::wstring text = WideText(name);
                return std::u16string(text.begin(), text.end());
            });
        });
        virtualFiles_ = true;
        // A descriptor that lists nothing, or less than it says, is no drag to take.
        refused_ = group_.verdict == vfiles::GroupVerdict::Malformed;
        std::set<std::string> seen;
        for (const vfiles::DescribedItem& item : group_.items) {
            const std::u16string top = vfiles::SafeComponents(item.name).front();
            std::string name = CodePageTextForDisplay(
                std::wstring_view(reinterpret_cast<const wchar_t*>(top.data()), top.size()));
            if (seen.insert(name).second)
                virtualNames_.push_back(std::move(name));
        }
        return true;
    }
    return false;
}

bool TDropFileTarget::ReadFileBlock(HGLOBAL block) {
    leftOut_.clear();
    ReadGlobal(block, [&](const std::uint8_t* bytes, std::size_t size) {
        files_ = dropfiles::ParseDropFiles(bytes, size, [&](std::u16string_view name) {
            const std::wstring_view wide(reinterpret_cast<const wchar_t*>(name.data()),
                                         name.size());
            std::optional<std::string> path = CodePagePath(wide);
            if (!path)
                leftOut_.push_back(CodePageTextForDisplay(wide));
            return path.value_or(std::string());
        });
    });
    refused_ = droprules::AnyHasControlCharacter(files_) ||
               droprules::AnyHasControlCharacter(leftOut_);
    return !files_.empty() || !leftOut_.empty();
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
    if (!ReadFileBlock(static_cast<HGLOBAL>(GetClipboardData(CF_HDROP))) || refused_) {
        ClearData();
    } else {
        effect = DROPEFFECT_COPY;
        auto preferred = static_cast<HGLOBAL>(GetClipboardData(DropFormats().preferredDropEffect));
        ReadGlobal(preferred, [&](const std::uint8_t* bytes, std::size_t size) {
            if (size >= sizeof(DWORD))
                effect = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | DWORD(bytes[3]) << 24;
        });
    }
    return effect;
}
