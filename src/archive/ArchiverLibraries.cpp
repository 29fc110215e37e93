// Loading of the archiver libraries and calls into their entry points.
#include "archive/ArchiverLibraries.h"

#include "archive/FaultGuard.h"
#include "util/Errors.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <array>
#include <mutex>
#include <optional>
#include <utility>

namespace {

constexpr std::size_t kLibraryCount = 8;

// One handle per library for the whole process; none until first needed. Touched only under
// the lock, which every call into the libraries holds.
std::array<HMODULE, kLibraryCount> g_modules{};

std::recursive_mutex& LibrariesLock() {
    static std::recursive_mutex lock;
    return lock;
}
using Hold = std::lock_guard<std::recursive_mutex>;

HMODULE& ModuleSlot(ArchiverLibrary library) {
    return g_modules[static_cast<std::size_t>(library)];
}

// When each library that could not be loaded was last looked for; none while it was not missed.
constexpr DWORD kLookAgainAfterMs = 60000;
std::array<std::optional<DWORD>, kLibraryCount> g_missedAt{};
std::function<std::uint32_t()> g_clock;

DWORD Now() {
    return g_clock ? static_cast<DWORD>(g_clock()) : GetTickCount();
}

HMODULE LoadByBareName(const char* file) {
    // The platform's usual search order applies: the program's own folder comes first.
    return LoadLibraryA(file);
}

HMODULE Load(ArchiverLibrary library) {
    if (library == ArchiverLibrary::Unrar) {
        // unrar32.dll is a wrapper around unrar.dll and is useless without it, so it is only
        // tried when unrar.dll itself can be loaded.
        HMODULE engine = LoadByBareName("unrar.dll");
        if (!engine)
            return nullptr;
        FreeLibrary(engine);
    }
    return LoadByBareName(ArchiverLibraryFile(library));
}

HMODULE EnsureLoaded(ArchiverLibrary library) {
    HMODULE& slot = ModuleSlot(library);
    if (slot)
        return slot;
    std::optional<DWORD>& missedAt = g_missedAt[static_cast<std::size_t>(library)];
    // Counted without sign, so the clock's wrap after 49 days changes nothing.
    if (missedAt && Now() - *missedAt < kLookAgainAfterMs)
        return nullptr;
    slot = Load(library);
    missedAt = slot ? std::nullopt : std::optional<DWORD>(Now());
    return slot;
}

using QueryFn = std::int32_t(WINAPI*)();
using SetterFn = std::int32_t(WINAPI*)(std::int32_t);
using CheckFn = std::int32_t(WINAPI*)(const char*, std::int32_t);

// The entry point with the signature its callers know it by, or null.
template <typename Fn> Fn EntryPoint(ArchiverLibrary library, const char* name) {
    HMODULE module = EnsureLoaded(library);
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

} // namespace

TArchiverLibrariesHold::TArchiverLibrariesHold(bool onlyIfFree) {
    if (onlyIfFree) {
        held_ = LibrariesLock().try_lock();
    } else {
        LibrariesLock().lock();
        held_ = true;
    }
}

TArchiverLibrariesHold::~TArchiverLibrariesHold() {
    if (held_)
        LibrariesLock().unlock();
}

bool IsLibraryAvailable(ArchiverLibrary library) {
    Hold hold(LibrariesLock());
    return EnsureLoaded(library) != nullptr;
}

void LookForMissingLibrariesAgain() {
    Hold hold(LibrariesLock());
    g_missedAt.fill(std::nullopt);
}

void SetLibraryClock(std::function<std::uint32_t()> clock) {
    Hold hold(LibrariesLock());
    g_clock = std::move(clock);
}

void LeaveCurrentFolderOutOfLibrarySearch() {
    using Fn = BOOL(WINAPI*)(LPCSTR);
    const auto setDllDirectory =
        win::FunctionIn<Fn>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    char system[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (!setDllDirectory || length == 0 || length >= MAX_PATH)
        return;
    // Any folder given takes the current one out of the search. The system folder, searched
    // next in any case, changes nothing else, also for the programs started from here, which
    // inherit it. (An empty name would do the same on Windows, but Wine goes on searching the
    // current folder then.)
    setDllDirectory(system);
}

std::int32_t CallArchiverQuery(ArchiverLibrary library, const char* entryPoint) {
    Hold hold(LibrariesLock());
    auto fn = EntryPoint<QueryFn>(library, entryPoint);
    return fn ? fn() : 0;
}

void CallArchiverSetter(ArchiverLibrary library, const char* entryPoint, std::int32_t value) {
    Hold hold(LibrariesLock());
    if (auto fn = EntryPoint<SetterFn>(library, entryPoint))
        fn(value);
}

namespace {
// The check's answer, and whether a fault inside the library cut it short.
std::pair<std::int32_t, bool> CheckUnderGuard(ArchiverLibrary library, const char* entryPoint,
                                              const std::string& path, std::int32_t mode) {
    // A longer path would overrun the library's own buffers: no library can check it.
    if (path.size() > kLongestLibraryPath)
        return {0, false};
    Hold hold(LibrariesLock());
    auto fn = EntryPoint<CheckFn>(library, entryPoint);
    bool faulted = false;
    std::int32_t result = fn ? CallCheckWithFaultGuard(fn, path.c_str(), mode, faulted) : 0;
    return {result, faulted};
}
} // namespace

std::int32_t CallArchiverCheck(ArchiverLibrary library, const char* entryPoint,
                               const std::string& path, std::int32_t mode) {
    auto [result, faulted] = CheckUnderGuard(library, entryPoint, path, mode);
    if (faulted) {
        // The file it was reading, which the user knows, rather than the library's function.
        const std::string file = ArchiverLibraryFile(library);
        throw EAppError(FormatText("ファイル：%s\r\n"
                                   "このファイルを調べている間に、%s の中でエラーが発生しました。"
                                   "\r\n%s を新しい版に入れ替えるか、取り除いてください。",
                                   {path, file, file}));
    }
    return result;
}

std::int32_t CallArchiverCheckFaultAsNo(ArchiverLibrary library, const char* entryPoint,
                                        const std::string& path, std::int32_t mode) {
    return CheckUnderGuard(library, entryPoint, path, mode).first;
}

void UnloadArchiverLibraries() {
    Hold hold(LibrariesLock());
    LookForMissingLibrariesAgain();
    constexpr ArchiverLibrary kOrder[] = {
        ArchiverLibrary::Unlha, ArchiverLibrary::Cab,   ArchiverLibrary::Tar,
        ArchiverLibrary::Unarj, ArchiverLibrary::Unrar, ArchiverLibrary::Unzip,
        ArchiverLibrary::Zip,   ArchiverLibrary::Bz2,
    };
    for (ArchiverLibrary library : kOrder) {
        HMODULE& slot = ModuleSlot(library);
        if (slot) {
            FreeLibrary(slot);
            slot = nullptr;
        }
    }
}
