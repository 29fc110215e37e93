// The record behind each node of the shell tree: its folder, its item ID lists and attributes,
// owners for ID lists and COM interfaces, and the count of live records that the end of the
// program checks for leaks.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>

namespace folders {

// An item ID list allocated by the shell's allocator, released with it.
class ScopedIdList {
  public:
    ScopedIdList() = default;
    explicit ScopedIdList(LPITEMIDLIST list) : list_(list) {}
    ScopedIdList(ScopedIdList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
    ScopedIdList& operator=(ScopedIdList&& other) noexcept {
        reset(std::exchange(other.list_, nullptr));
        return *this;
    }
    ScopedIdList(const ScopedIdList&) = delete;
    ScopedIdList& operator=(const ScopedIdList&) = delete;
    ~ScopedIdList() { reset(); }

    LPITEMIDLIST get() const { return list_; }
    LPITEMIDLIST* out() {
        reset();
        return &list_;
    }
    LPITEMIDLIST release() { return std::exchange(list_, nullptr); }
    void reset(LPITEMIDLIST list = nullptr);
    explicit operator bool() const { return list_ != nullptr; }

    // A copy of `list`, and `first` followed by `second`.
    static ScopedIdList Copy(LPCITEMIDLIST list);
    static ScopedIdList Join(LPCITEMIDLIST first, LPCITEMIDLIST second);
    // The first item of `list` alone.
    static ScopedIdList First(LPCITEMIDLIST list);

  private:
    LPITEMIDLIST list_ = nullptr;
};

// A counted reference to a COM interface.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {} // takes over a reference
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_)
            p_->AddRef();
    }
    ComPtr& operator=(ComPtr other) {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** out() {
        *this = ComPtr();
        return reinterpret_cast<void**>(&p_);
    }
    T** outTyped() {
        *this = ComPtr();
        return &p_;
    }

  private:
    T* p_ = nullptr;
};

// One node's record. Made and released only through the tree; each one alive is counted.
struct TFolderItemData {
    TFolderItemData(ComPtr<IShellFolder> parent, ScopedIdList relative, ScopedIdList absolute,
                    ULONG attributes);
    ~TFolderItemData();
    TFolderItemData(const TFolderItemData&) = delete;
    TFolderItemData& operator=(const TFolderItemData&) = delete;

    ComPtr<IShellFolder> parentFolder;
    ScopedIdList relativeList;
    ScopedIdList absoluteList;
    ULONG attributes = 0;
    bool enumerated = false;
};

// Node records alive in the process.
int LiveFolderDataCount();

// The file-system path of an absolute ID list as the tree uses it: empty for a virtual folder,
// no trailing separator except on a drive root. Empty too when a character of the path has no
// form of its own in the code page: the nearest look-alike (such as "\" for "¥") would name
// another folder.
std::string PathOfIdList(LPCITEMIDLIST absolute, ULONG attributes);
// The same for any ID list that resolves to a folder on disk, file-system item or not: the
// desktop gives its folder.
std::string FolderPathOfIdList(LPCITEMIDLIST absolute);

// The display name in a STRRET the shell filled for `list`, released afterwards.
std::string StrRetText(STRRET& value, LPCITEMIDLIST list);

// OLE for the program's run and the folder-record leak check at its end. The check never
// raises and never shows anything to the user: a leak goes to the reporter, which tests set;
// by default it goes to the debugger's output.
class TShellSession {
  public:
    TShellSession();
    ~TShellSession();
    TShellSession(const TShellSession&) = delete;
    TShellSession& operator=(const TShellSession&) = delete;

    using LeakReporter = void (*)(int liveRecords);
    static LeakReporter SetLeakReporter(LeakReporter reporter);
    // Reports leaking records, if any; the number reported.
    static int CheckLeaks() noexcept;

  private:
    bool initialized_ = false;
};

} // namespace folders
