// A resident program is used all day: its kernel handles must not grow with the drops, the
// starts of the companion, the menus and the refresh ticks it sees.
#include "e2e/E2eSupport.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace e2e;
using namespace testing_support;

namespace {

class LongRun : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        // Away from the drag source's window in the top left corner.
        SaveCatPlace(400, 300);
    }
};

// One open kernel handle of another process, as the system's handle table lists it.
struct HandleEntry {
    ULONG owner;
    UCHAR type, flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
};

// The handles of another process from the system's handle table (Windows and Wine both keep
// one; Wine answers 0 to GetProcessHandleCount), or nothing when the platform does not tell.
std::vector<HandleEntry> HandlesOf(DWORD processId) {
    struct HandleTable {
        ULONG count;
        HandleEntry entries[1];
    };
    using QueryFunction = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return {};
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0)
            return {};
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    std::vector<HandleEntry> handles;
    for (ULONG i = 0; i < table->count; ++i) {
        if ((table->entries[i].owner & 0xFFFF) == (processId & 0xFFFF))
            handles.push_back(table->entries[i]);
    }
    return handles;
}

// The open kernel handles of another process, or 0 when the platform does not tell.
DWORD HandleCountOf(DWORD processId) {
    win::ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    DWORD count = 0;
    if (process && GetProcessHandleCount(process.get(), &count) && count != 0)
        return count;
    return static_cast<DWORD>(HandlesOf(processId).size());
}

// What a handle of another process is, for a failure message: its type and name, and for a
// thread its id and description ("wine_rpcrt4_io" and the like).
std::string DescribeHandle(HANDLE process, USHORT value) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)),
                         GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return "(not readable)";
    win::ScopedHandle held(copy);
    using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    auto unicodeText = [&](ULONG infoClass) {
        alignas(8) char buffer[2048] = {};
        ULONG needed = 0;
        if (!query || query(copy, infoClass, buffer, sizeof buffer - 2, &needed) < 0)
            return std::string();
        const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer);
        if (!text->Buffer)
            return std::string();
        return AnsiText(std::wstring_view(text->Buffer, text->Length / sizeof(wchar_t)));
    };
    constexpr ULONG kObjectNameInformation = 1, kObjectTypeInformation = 2;
    std::string type = unicodeText(kObjectTypeInformation);
    std::string text = type;
    if (std::string name = unicodeText(kObjectNameInformation); !name.empty())
        text += " \"" + name + "\"";
    if (type == "Thread") {
        text += " thread " + std::to_string(GetThreadId(copy));
        using Describe = HRESULT(WINAPI*)(HANDLE, PWSTR*);
        auto describe = reinterpret_cast<Describe>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetThreadDescription")));
        PWSTR description = nullptr;
        if (describe && SUCCEEDED(describe(copy, &description)) && description) {
            text += " \"" + AnsiText(description) + "\"";
            LocalFree(description);
        }
        DWORD exitCode = 0;
        if (GetExitCodeThread(copy, &exitCode) && exitCode != STILL_ACTIVE)
            text += " ended";
    }
    return text;
}

// The handles another process holds now that it did not hold in `before`, described, alike
// ones counted together ("490 x Event").
std::string NewHandles(DWORD processId, const std::vector<HandleEntry>& before) {
    win::ScopedHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
    std::map<std::string, int> kinds;
    for (const HandleEntry& entry : HandlesOf(processId)) {
        bool known = std::any_of(before.begin(), before.end(), [&](const HandleEntry& old) {
            return old.value == entry.value && old.type == entry.type;
        });
        if (!known)
            ++kinds[DescribeHandle(process.get(), entry.value)];
    }
    std::string text;
    for (const auto& [kind, count] : kinds)
        text += "\n  " + std::to_string(count) + " x " + kind;
    return text;
}

// Wine's WaitForInputIdle, which WinExec calls, keeps an event handle for every windowed
// program it waits for; Windows does not. Under Wine each start of the companion adds one.
bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// One round of what a person does with the cat: a drop to extract, one to compress, a start
// of the companion from the notification-area icon, and its menu opened and closed. (The hot
// key has tests of its own: a key sent the moment a drag has ended was once lost here.)
void UseOnce(PakicoRun& pakico, const std::string& archive, const std::string& text) {
    std::size_t before = pakico.MorvaRuns();
    MorvaRun run = DropAndWait(pakico, {}, {archive});
    DeleteFileA(ListPathOf(run).c_str());
    run = DropAndWait(pakico, {}, {text, archive});
    DeleteFileA(ListPathOf(run).c_str());
    PostMessageA(pakico.Tray(), WM_USER + 1, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(before + 3, pakico.WaitForMorva(before + 3).size());
    ASSERT_TRUE(pakico.OpenTrayMenu());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
}

} // namespace

TEST_F(LongRun, HandlesDoNotGrowWithUse) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");

    // The first round loads what stays loaded (libraries, OLE, the shell's objects).
    UseOnce(pakico, archive, text);
    Sleep(1500);
    DWORD first = HandleCountOf(pakico.ProcessId());
    ASSERT_NE(0u, first) << "the platform does not count another process's handles";
    std::size_t startsBefore = pakico.MorvaRuns();

    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds && !HasFatalFailure(); ++round)
        UseOnce(pakico, archive, text);
    Sleep(1500);
    DWORD last = HandleCountOf(pakico.ProcessId());
    DWORD starts = static_cast<DWORD>(pakico.MorvaRuns() - startsBefore);
    DWORD allowed = first + 4 + (UnderWine() ? starts : 0);
    // A leak of one handle per drop, menu or refresh tick would add a dozen or more.
    EXPECT_LE(last, allowed) << "handles after the first round " << first << ", after " << kRounds
                             << " more rounds with " << starts << " companion starts " << last;
    EXPECT_TRUE(pakico.Running());
}

namespace {

// What a resident program must not pile up, counted from outside.
struct Resources {
    DWORD handles = 0;
    DWORD gdiObjects = 0;  // 0 where the platform does not tell (Wine)
    DWORD userObjects = 0; // likewise
    std::size_t windows = 0;
    double privateKb = 0;
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

Resources ResourcesOf(DWORD processId) {
    Resources r;
    r.handles = HandleCountOf(processId);
    win::ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        r.gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
        r.userObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        // The commit charge: the process's private bytes.
        if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
            r.privateKb = counters.PagefileUsage / 1024.0;
    }
    for (HWND window : TopWindows(nullptr, processId)) {
        ++r.windows;
        EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&r.windows));
    }
    return r;
}

// Drops until `count` more starts of the companion are recorded, drags lost on the way made
// again.
void DropTimes(PakicoRun& pakico, const std::string& file, std::size_t count) {
    const std::size_t target = pakico.MorvaRuns() + count;
    for (int batch = 0; pakico.MorvaRuns() < target && batch < 100; ++batch) {
        std::size_t left = target - pakico.MorvaRuns();
        DragFilesReported({"--quick", "--repeat", std::to_string(std::min<std::size_t>(left, 50))},
                          pakico.Centre(), {file});
        pakico.WaitForMorva(target, 3000);
    }
    ASSERT_EQ(target, pakico.WaitForMorva(target).size());
}

void OpenMenuTimes(PakicoRun& pakico, int count) {
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(pakico.OpenTrayMenu()) << "menu " << i;
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(pakico.WaitForMenuClosed(kSettleMs)) << "menu " << i;
    }
}

// Environment of the programs this process starts, for the length of a scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, nullptr); }

  private:
    const char* name_;
};

} // namespace

// Weeks of residence in minutes: the refresh ticking every 10 ms instead of every second
// (well over 10,000 ticks), 1,000 openings of the menu and 500 drops that start the companion.
// Afterwards the program holds what it held after the first ten of each: the same handles (but
// for the one Wine keeps per companion start, see above, and its drag helpers), windows and GDI
// and USER objects where the platform counts them, and private bytes within 512 KB of heap that
// may stay allocated.
TEST_F(LongRun, WeeksOfUseLeaveNothingBehind) {
    ScopedEnvironment fastRefresh("PAKICO_REFRESH_MS", "10");
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    SetStandinControl(pakico.Folder(), "Unlha32.dll", "log=0\r\n");
    SetMorvaControl(pakico.Folder(), "delete_list=1\r\n");
    ASSERT_TRUE(pakico.Start());
    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());

    const DWORD startTicks = GetTickCount();
    DropTimes(pakico, archive, 10);
    OpenMenuTimes(pakico, 10);
    Sleep(1500);
    const Resources first = ResourcesOf(pakico.ProcessId());
    ASSERT_NE(0u, first.handles) << "the platform does not count another process's handles";
    const std::vector<HandleEntry> firstHandles = HandlesOf(pakico.ProcessId());
    const std::size_t startsBefore = pakico.MorvaRuns();

    DropTimes(pakico, archive, 490);
    OpenMenuTimes(pakico, 990);
    // At least 10,000 ticks of 10 ms have passed.
    const DWORD elapsed = GetTickCount() - startTicks;
    if (elapsed < 10000 * 10)
        Sleep(10000 * 10 - elapsed);
    Sleep(1500);
    const DWORD starts = static_cast<DWORD>(pakico.MorvaRuns() - startsBefore);
    const DWORD expectedHandles = first.handles + (UnderWine() ? starts : 0);
    // On a busy machine the platform's own helper threads for the drags (seen: six or seven
    // more handles) end only a while after the last drop.
    WaitUntil([&] { return HandleCountOf(pakico.ProcessId()) <= expectedHandles; }, 20000);
    const Resources last = ResourcesOf(pakico.ProcessId());

    // OLE's own pipes for the drags come and go with the drag sources' connections: some runs
    // end with one more "\Device\NamedPipe\lrpc\pipe\OLE_..." than the first count. A handle
    // lost per drop, menu or tick would add hundreds; new handles are listed whenever there are
    // any.
    constexpr DWORD kPlatformHelpers = 2;
    const std::string newHandles =
        last.handles > expectedHandles ? NewHandles(pakico.ProcessId(), firstHandles) : "";
    if (!newHandles.empty())
        std::printf("handles new since the first count:%s\n", newHandles.c_str());
    EXPECT_LE(last.handles, expectedHandles + kPlatformHelpers)
        << "after " << starts
        << " more companion starts; handles new since the first count:" << newHandles;
    EXPECT_EQ(first.windows, last.windows);
    if (first.gdiObjects) {
        EXPECT_EQ(first.gdiObjects, last.gdiObjects);
    }
    if (first.userObjects) {
        EXPECT_EQ(first.userObjects, last.userObjects);
    }
    EXPECT_LE(last.privateKb, first.privateKb + 512) << "private KB after the first ten";
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
}
