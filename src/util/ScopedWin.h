// Move-only owners for Win32 handles, scope guards for process-wide switches, and the lookup of
// functions that older systems lack.
#pragma once

#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>

namespace win {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};

using ScopedKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;
using ScopedModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
using ScopedGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;
using ScopedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;
using ScopedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;
using ScopedFind = std::unique_ptr<void, FindCloser>;

// A folder search begun with its first entry; empty when nothing matched.
inline ScopedFind FindFirst(const std::wstring& wildcardPath, WIN32_FIND_DATAW& entry) {
    HANDLE find = FindFirstFileW(wildcardPath.c_str(), &entry);
    return ScopedFind(find == INVALID_HANDLE_VALUE ? nullptr : find);
}

// The entries a search gives for the folder itself and the one above it.
inline bool IsDotEntry(const wchar_t* name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

// A function of `module` that older systems may lack, as a pointer of type Fn; null when the
// module or the function is not there.
template <typename Fn> Fn FunctionIn(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

// A kernel handle; both null and INVALID_HANDLE_VALUE count as empty.
class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle_(IsValid(handle) ? handle : nullptr) {}
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE release() {
        HANDLE h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(HANDLE handle = nullptr) {
        if (handle_)
            CloseHandle(handle_);
        handle_ = IsValid(handle) ? handle : nullptr;
    }

  private:
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    HANDLE handle_ = nullptr;
};

// Keeps the platform's critical-error boxes ("insert a disk") away while probing the file system.
// The mode belongs to the whole process and the GUI thread probes while watcher threads do: the
// guards share one count under a lock, so the first one in sets the mode and only the last one
// out restores what was there before.
class ScopedErrorMode {
  public:
    ScopedErrorMode();
    ~ScopedErrorMode();
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;
};

} // namespace win
