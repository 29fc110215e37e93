// Node records of the shell tree, ID-list owners and the leak check.
#include "folders/FolderItemData.h"

#include <shlwapi.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "folders/FolderRules.h"
#include "util/CodePagePath.h"

namespace folders {

namespace {

std::atomic<int> liveRecords{0};

void DebuggerLeakReport(int count) {
    std::string text =
        "Memory Leak Detected.  Not all folder data was freed. (" + std::to_string(count) + ")\n";
    OutputDebugStringA(text.c_str());
}

std::atomic<TShellSession::LeakReporter> leakReporter{&DebuggerLeakReport};

UINT ListSize(LPCITEMIDLIST list) {
    if (!list)
        return 0;
    UINT size = 0;
    auto* item = reinterpret_cast<const BYTE*>(list);
    while (const USHORT cb = reinterpret_cast<const SHITEMID*>(item + size)->cb)
        size += cb;
    return size;
}

ScopedIdList Allocate(UINT bytes) {
    auto* list = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(bytes + sizeof(USHORT)));
    if (list)
        std::memset(list, 0, bytes + sizeof(USHORT));
    return ScopedIdList(list);
}

} // namespace

// The shell's allocator (SHGetMalloc) is the task allocator.
void ScopedIdList::reset(LPITEMIDLIST list) {
    if (list_)
        CoTaskMemFree(list_);
    list_ = list;
}

ScopedIdList ScopedIdList::Copy(LPCITEMIDLIST list) {
    return Join(list, nullptr);
}

ScopedIdList ScopedIdList::Join(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    const UINT a = ListSize(first), b = ListSize(second);
    ScopedIdList out = Allocate(a + b);
    if (out) {
        auto* bytes = reinterpret_cast<BYTE*>(out.get());
        if (a)
            std::memcpy(bytes, first, a);
        if (b)
            std::memcpy(bytes + a, second, b);
    }
    return out;
}

ScopedIdList ScopedIdList::First(LPCITEMIDLIST list) {
    const UINT size = list ? list->mkid.cb : 0;
    ScopedIdList out = Allocate(size);
    if (out && size)
        std::memcpy(out.get(), list, size);
    return out;
}

TFolderItemData::TFolderItemData(ComPtr<IShellFolder> parent, ScopedIdList relative,
                                 ScopedIdList absolute, ULONG attrs)
    : parentFolder(std::move(parent)), relativeList(std::move(relative)),
      absoluteList(std::move(absolute)), attributes(attrs) {
    ++liveRecords;
}

TFolderItemData::~TFolderItemData() {
    --liveRecords;
}

int LiveFolderDataCount() {
    return liveRecords;
}

std::string PathOfIdList(LPCITEMIDLIST absolute, ULONG attributes) {
    // The network folder answers with a "::{...}" name: only file-system items have paths.
    if (!(attributes & SFGAO_FILESYSTEM))
        return {};
    return FolderPathOfIdList(absolute);
}

// Asked in UTF-16 and converted without best fit: the ANSI call would hand back look-alikes.
std::string FolderPathOfIdList(LPCITEMIDLIST absolute) {
    wchar_t wide[MAX_PATH] = L"";
    if (!absolute || !SHGetPathFromIDListW(absolute, wide))
        return {};
    const std::optional<std::string> path = ExactCodePageText(wide);
    return path ? NodePathFromShell(*path, true) : std::string();
}

std::string StrRetText(STRRET& value, LPCITEMIDLIST list) {
    char text[MAX_PATH * 2] = "";
    if (FAILED(StrRetToBufA(&value, list, text, sizeof text)))
        return {};
    return text;
}

TShellSession::TShellSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}

TShellSession::~TShellSession() {
    CheckLeaks();
    if (initialized_)
        OleUninitialize();
}

TShellSession::LeakReporter TShellSession::SetLeakReporter(LeakReporter reporter) {
    return leakReporter.exchange(reporter ? reporter : &DebuggerLeakReport);
}

int TShellSession::CheckLeaks() noexcept {
    const int live = liveRecords;
    if (live > 0)
        leakReporter.load()(live);
    return live > 0 ? live : 0;
}

} // namespace folders
