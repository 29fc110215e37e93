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

// The type and name of a handle of another process ("File", "\\Device\\NamedPipe\\...").
std::pair<std::string, std::string> HandleKind(HANDLE process, USHORT value, HANDLE* copyOut) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)),
                         GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return {"(not readable)", ""};
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
    std::pair<std::string, std::string> kind{unicodeText(kObjectTypeInformation),
                                             unicodeText(kObjectNameInformation)};
    if (copyOut)
        *copyOut = copy;
    else
        CloseHandle(copy);
    return kind;
}

// What a handle of another process is, for a failure message: its type and name, and for a
// thread its id and description ("wine_rpcrt4_io" and the like).
std::string DescribeHandle(HANDLE process, USHORT value) {
    HANDLE copy = nullptr;
    auto [type, name] = HandleKind(process, value, &copy);
    win::ScopedHandle held(copy);
    std::string text = type;
    if (!name.empty())
        text += " \"" + name + "\"";
    if (type == "Thread" && copy) {
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

// The kernel handles of another process, and of those the ends of the platform's local RPC
// pipes, from one look at its handles. OLE opens those pipes for the connections of drag
// sources and closes them as those connections go, on its own time.
struct Handles {
    DWORD total = 0;
    DWORD rpcPipes = 0;
};

Handles HandlesNow(DWORD processId) {
    const std::vector<HandleEntry> entries = HandlesOf(processId);
    if (entries.empty())
        return {HandleCountOf(processId), 0};
    win::ScopedHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
    const std::string rpcPipes = "\\Device\\NamedPipe\\lrpc\\";
    Handles handles{static_cast<DWORD>(entries.size()), 0};
    for (const HandleEntry& entry : entries) {
        auto [type, name] = HandleKind(process.get(), entry.value, nullptr);
        if (type == "File" && name.compare(0, rpcPipes.size(), rpcPipes) == 0)
            ++handles.rpcPipes;
    }
    return handles;
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

// The GDI objects of another process: their number, and how many of each kind ("brush 4,
// DC 12, ...") where that can be told. Where the platform does not count them (Wine answers 0),
// GdiCount.dll, loaded into the process, counts them from inside. 0 when neither can.
struct GdiObjects {
    DWORD total = 0;
    std::string kinds;
    // Of the DCs, the platform's idle window DCs, each with its visible region (see GdiCount).
    DWORD idleWindowDcs = 0;
    // What the program holds: the idle window DCs and their regions left out.
    DWORD Held() const { return total - 2 * idleWindowDcs; }
};

GdiObjects GdiObjectsOf(DWORD processId) {
    win::ScopedHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                              PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                              PROCESS_VM_WRITE,
                                          FALSE, processId));
    if (!process)
        return {};
    if (DWORD count = GetGuiResources(process.get(), GR_GDIOBJECTS))
        return {count, ""};
    // Runs `start` in the process and returns its exit code.
    auto runThere = [&](void* start, void* parameter) -> DWORD {
        win::ScopedHandle thread(CreateRemoteThread(process.get(), nullptr, 0,
                                                    reinterpret_cast<LPTHREAD_START_ROUTINE>(start),
                                                    parameter, 0, nullptr));
        DWORD code = 0;
        if (!thread || WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0 ||
            !GetExitCodeThread(thread.get(), &code))
            return 0;
        return code;
    };
    const std::string library = ExeFolder() + "GdiCount.dll";
    HMODULE here = LoadLibraryA(library.c_str());
    if (!here)
        return {};
    void* countHere = reinterpret_cast<void*>(GetProcAddress(here, "CountGdiObjects"));
    // kernel32 lies at the same address in every process, and so LoadLibraryA does.
    void* name = VirtualAllocEx(process.get(), nullptr, library.size() + 1,
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD there = 0;
    if (name && countHere &&
        WriteProcessMemory(process.get(), name, library.c_str(), library.size() + 1, nullptr))
        there = runThere(reinterpret_cast<void*>(
                             GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")),
                         name);
    if (name)
        VirtualFreeEx(process.get(), name, 0, MEM_RELEASE);
    if (!there || !countHere)
        return {};
    // Where something of the library lies in the program.
    auto inProgram = [&](void* local) {
        return reinterpret_cast<char*>(static_cast<ULONG_PTR>(there)) +
               (reinterpret_cast<char*>(local) - reinterpret_cast<char*>(here));
    };
    GdiObjects objects;
    objects.total = runThere(inProgram(countHere), nullptr);
    DWORD counts[16] = {};
    void* countsHere = reinterpret_cast<void*>(GetProcAddress(here, "GdiCountsByKind"));
    if (!countsHere ||
        !ReadProcessMemory(process.get(), inProgram(countsHere), counts, sizeof counts, nullptr))
        return objects;
    static const char* const kKinds[] = {
        "other",  "pen",      "brush",     "DC",      "meta DC", "palette", "font",        "bitmap",
        "region", "metafile", "memory DC", "ext pen", "EMF DC",  "EMF",     "colour space"};
    for (std::size_t kind = 0; kind < std::size(kKinds); ++kind) {
        if (counts[kind])
            objects.kinds += std::string(objects.kinds.empty() ? "" : ", ") + kKinds[kind] + " " +
                             std::to_string(counts[kind]);
    }
    void* idleHere = reinterpret_cast<void*>(GetProcAddress(here, "GdiIdleWindowDcs"));
    if (idleHere && ReadProcessMemory(process.get(), inProgram(idleHere), &objects.idleWindowDcs,
                                      sizeof objects.idleWindowDcs, nullptr))
        objects.kinds += "; idle window DCs " + std::to_string(objects.idleWindowDcs);
    return objects;
}

// What a resident program must not pile up, counted from outside.
struct Resources {
    DWORD handles = 0;
    DWORD rpcPipes = 0; // of the handles, OLE's pipes
    GdiObjects gdiObjects;
    DWORD userObjects = 0; // 0 where the platform does not tell (Wine)
    std::size_t windows = 0;
    double privateKb = 0;
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

Resources ResourcesOf(DWORD processId) {
    Resources r;
    // Counted first: loading the counting library into the process may open handles of its own
    // the first time.
    r.gdiObjects = GdiObjectsOf(processId);
    const Handles handles = HandlesNow(processId);
    r.handles = handles.total;
    r.rpcPipes = handles.rpcPipes;
    win::ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
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

// How much use a run sees after the first ten drops and menu openings.
struct Use {
    int rounds;        // of UseOnce: drops to extract and compress, a start from the icon
    std::size_t drops; // more drops to extract
    int menus;         // more openings of the menu
    DWORD ticks;       // of the refresh, at 10 ms, counted from the start
};

// A run of residence with the refresh ticking every 10 ms instead of every second. Afterwards
// the program holds what it held after the first ten drops and menu openings: the same windows,
// the same GDI objects but for the platform's idle window DCs (see GdiCount; each is counted and
// shown), USER objects where the platform counts them, private bytes within 512 KB of heap that
// may stay allocated, and the same kernel handles but for OLE's own pipes for the drags
// ("\Device\NamedPipe\lrpc\..."), which come and go with the drag sources' connections and are
// counted at both ends.
void SoakLeavesNothingBehind(const Use& use) {
    ScopedEnvironmentVariable fastRefresh("PAKICO_REFRESH_MS", "10");
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    SetStandinControl(pakico.Folder(), "Unlha32.dll", "log=0\r\n");
    SetMorvaControl(pakico.Folder(), "delete_list=1\r\n");
    ASSERT_TRUE(pakico.Start());
    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");

    // The first uses load what stays loaded (libraries, OLE, the shell's objects).
    const DWORD startTicks = GetTickCount();
    if (use.rounds > 0)
        UseOnce(pakico, archive, text);
    DropTimes(pakico, archive, 10);
    OpenMenuTimes(pakico, 10);
    Sleep(1500);
    const Resources first = ResourcesOf(pakico.ProcessId());
    ASSERT_NE(0u, first.handles) << "the platform does not count another process's handles";
    ASSERT_NE(0u, first.gdiObjects.total) << "GDI objects cannot be counted";
    const std::vector<HandleEntry> firstHandles = HandlesOf(pakico.ProcessId());
    const std::size_t startsBefore = pakico.MorvaRuns();

    for (int round = 0; round < use.rounds && !::testing::Test::HasFatalFailure(); ++round)
        UseOnce(pakico, archive, text);
    DropTimes(pakico, archive, use.drops);
    OpenMenuTimes(pakico, use.menus);
    const DWORD elapsed = GetTickCount() - startTicks;
    if (elapsed < use.ticks * 10)
        Sleep(use.ticks * 10 - elapsed);
    Sleep(1500);
    const DWORD starts = static_cast<DWORD>(pakico.MorvaRuns() - startsBefore);
    auto expectedHandles = [&](DWORD rpcPipes) {
        return first.handles + rpcPipes - first.rpcPipes;
    };
    // On a busy machine the platform's own helper threads for the drags (seen: six or seven
    // more handles) end only a while after the last drop.
    WaitUntil(
        [&] {
            const Handles now = HandlesNow(pakico.ProcessId());
            return now.total <= expectedHandles(now.rpcPipes);
        },
        20000);
    const Resources last = ResourcesOf(pakico.ProcessId());

    const DWORD expected = expectedHandles(last.rpcPipes);
    std::printf("after the first ten: %lu handles (%lu of OLE's pipes), %lu GDI objects (%s), "
                "%zu windows, %.0f KB private\n",
                first.handles, first.rpcPipes, first.gdiObjects.total,
                first.gdiObjects.kinds.c_str(), first.windows, first.privateKb);
    std::printf("after %lu more companion starts, %d menus and %lu s of 10 ms ticks: %lu handles "
                "(%lu of OLE's pipes; %lu expected), %lu GDI objects (%s), %zu windows, %.0f KB "
                "private\n",
                starts, use.menus + use.rounds, (GetTickCount() - startTicks) / 1000, last.handles,
                last.rpcPipes, expected, last.gdiObjects.total, last.gdiObjects.kinds.c_str(),
                last.windows, last.privateKb);
    const std::string newHandles =
        last.handles > expected ? NewHandles(pakico.ProcessId(), firstHandles) : "";
    EXPECT_LE(last.handles, expected)
        << "after " << starts << " more companion starts, OLE's pipes " << first.rpcPipes
        << " then " << last.rpcPipes << "; handles new since the first count:" << newHandles;
    EXPECT_EQ(first.windows, last.windows);
    EXPECT_EQ(first.gdiObjects.Held(), last.gdiObjects.Held())
        << "GDI objects after the first ten: " << first.gdiObjects.kinds
        << "; at the end: " << last.gdiObjects.kinds;
    if (first.userObjects) {
        EXPECT_EQ(first.userObjects, last.userObjects) << "USER objects";
    }
    EXPECT_LE(last.privateKb, first.privateKb + 512) << "private KB after the first ten";
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
}

} // namespace

// An afternoon of use in a minute: four rounds of drops to extract and to compress and starts
// from the icon, thirty more drops and menu openings, and a thousand refresh ticks. A leak of
// one handle per drop or menu, or of one GDI object per tick, shows here.
TEST_F(LongRun, AnAfternoonOfUseLeavesNothingBehind) {
    SoakLeavesNothingBehind(Use{4, 30, 30, 1000});
}

// Weeks of residence in minutes: 500 drops that start the companion, 1,000 openings of the
// menu and well over 10,000 refresh ticks. Slow: run by scripts/soak.sh, not with the others.
class Soak : public LongRun {};

TEST_F(Soak, WeeksOfUseLeaveNothingBehind) {
    SoakLeavesNothingBehind(Use{0, 490, 990, 10000});
}
