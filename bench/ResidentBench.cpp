// The resident program against the least a program of its kind costs, measured from outside
// the way the end-to-end tests drive it:
//   P1 drop-to-start: the release of a real drop to the stand-in companion's first instruction,
//      against WinExec of the same stand-in with the same kind of command line;
//   P6 start-to-visible: process creation to the cat's window on screen, against a bare 58 x 59
//      topmost window of the same build;
//   P7 resident-memory: private bytes and working set after the start and one drop, against
//      the same bare window;
//   P8 source-held: how long a drop holds up the drag's source after the button's release (until
//      its drag loop returns) with a companion that takes 3 s to become ready for input, against
//      the same drop with a companion ready at once; the goal is at most 0.1 s more. The same for
//      a file of 20 MB that exists only inside its source, which lets it be read after the drop.
#include "BenchSupport.h"

#include "e2e/E2eSupport.h"
#include "support/ProgramRun.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>

using namespace e2e;
using namespace testing_support;

namespace {

using ProgramRunPtr = std::unique_ptr<ProgramRun>;

constexpr int kRuns = 15;
constexpr int kMemoryRuns = 5;
const std::vector<std::string> kLibraries = {"Unlha32.dll", "Unzip32.dll", "cab32.dll"};

double CounterMs(long long counter) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(counter) * 1000.0 / double(frequency.QuadPart);
}

double NowMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return CounterMs(now.QuadPart);
}

// The run folder of a cat with its companion and the common libraries, all quiet.
PakicoRun::Layout TypicalLayout() {
    return PakicoRun::Layout{true, kLibraries, ""};
}

void Quieten(const PakicoRun& pakico) {
    for (const std::string& library : kLibraries)
        SetStandinControl(pakico.Folder(), library, "log=0\r\n");
}

// The performance counter of the companion's last start, from its clock file; 0 when none.
long long LastCompanionStart(const std::string& folder, std::size_t starts) {
    long long last = 0;
    WaitUntil(
        [&] {
            std::istringstream lines(ReadFileBytes(folder + "Morva.clock"));
            std::size_t count = 0;
            for (long long value; lines >> value; ++count)
                last = value;
            return count >= starts;
        },
        10000);
    return last;
}

// Starts a program and waits until a window of its class shows; the time that took in ms.
double StartUntilVisible(ProgramRunPtr& run, const std::string& exe, const char* windowClass,
                         const std::string& arguments = "") {
    const double start = NowMs();
    run = std::make_unique<ProgramRun>(exe, arguments);
    const DWORD id = run->ProcessId();
    while (NowMs() - start < 20000) {
        for (HWND window : TopWindows(windowClass, id))
            if (IsWindowVisible(window))
                return NowMs() - start;
        Sleep(1);
    }
    return -1;
}

void CloseAndWait(ProgramRunPtr& run, const char* windowClass) {
    for (HWND window : TopWindows(windowClass, run->ProcessId()))
        PostMessageA(window, WM_CLOSE, 0, 0);
    run->WaitForExit(10000);
    run.reset();
    WaitUntil([] { return !CopyRunning(); }, 10000);
}

struct Memory {
    double privateMb = 0, workingSetMb = 0;
};

Memory MemoryOf(DWORD processId) {
    Memory memory;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    // The commit charge is the private bytes (Wine leaves the later PrivateUsage field 0).
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        memory.privateMb = counters.PagefileUsage / 1048576.0;
        memory.workingSetMb = counters.WorkingSetSize / 1048576.0;
    }
    if (process)
        CloseHandle(process);
    return memory;
}

void DropToStart() {
    SaveCatPlace(400, 300);
    PakicoRun pakico(TypicalLayout());
    Quieten(pakico);
    SetMorvaControl(pakico.Folder(), "clock=1\r\n");
    if (!pakico.Start()) {
        std::printf("P1 drop-to-start: the program did not start\n");
        return;
    }
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");
    std::string list = pakico.Scratch() + "list.txt";
    WriteFileBytes(list, text + "\r\n");
    const std::string bareCommand =
        Quoted(pakico.Folder() + "Morva.exe") + " /QA \\ @" + ShortPath(list);
    std::vector<double> drops, bares;
    std::size_t starts = 0;
    for (int run = 0; run < kRuns; ++run) {
        pakico.WaitForLayer("CoolForm1", kSettleMs);
        auto outcomes = DragFilesReported({}, pakico.Centre(), {text});
        if (outcomes.size() == 1 && outcomes[0].effect < 100) {
            long long started = LastCompanionStart(pakico.Folder(), ++starts);
            drops.push_back(CounterMs(started - outcomes[0].released));
        }
        LARGE_INTEGER called;
        QueryPerformanceCounter(&called);
        WinExec(bareCommand.c_str(), SW_SHOWNORMAL);
        long long started = LastCompanionStart(pakico.Folder(), ++starts);
        bares.push_back(CounterMs(started - called.QuadPart));
    }
    bench::Report("P1", "drop-to-start", bench::SpreadOf(drops), bench::SpreadOf(bares), 1.2,
                  "drop", "bare WinExec", "ms");
    pakico.ChooseEnd();
    pakico.WaitForExit(kSettleMs);
}

void SourceHeld() {
    SaveCatPlace(400, 300);
    PakicoRun pakico(TypicalLayout());
    Quieten(pakico);
    if (!pakico.Start()) {
        std::printf("P8 source-held: the program did not start\n");
        return;
    }
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");
    const std::string large = pakico.Scratch() + "large.bin";
    WriteFileBytes(large, std::string(20 << 20, 'x'));
    // The drops' folders go with the scratch folder.
    WriteSettingText("Setting", "WorkPath", pakico.Scratch());
    std::vector<double> slow, ready, later;
    std::size_t starts = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (int kind : {0, 1, 2}) {
            SetMorvaControl(pakico.Folder(), kind == 0 ? "ready_delay=3000\r\ndelete_list=1\r\n"
                                                       : "delete_list=1\r\n");
            pakico.WaitForLayer("CoolForm1", kSettleMs);
            auto outcomes = kind == 2 ? DragFilesReported({"--virtual", "--stream", "--async"},
                                                          pakico.Centre(), {"large.bin|" + large})
                                      : DragFilesReported({}, pakico.Centre(), {text});
            if (outcomes.size() != 1 || outcomes[0].effect >= 100)
                continue;
            std::vector<double>* kinds[] = {&slow, &ready, &later};
            kinds[kind]->push_back(CounterMs(outcomes[0].returned - outcomes[0].released));
            // The next drop only once this companion has finished.
            WaitForMorvaRuns(pakico.Folder(), ++starts, 15000);
        }
    }
    const bench::Spread held = bench::SpreadOf(ready);
    const double goal = held.median > 0 ? (held.median + 100) / held.median : 0;
    bench::Report("P8", "source-held", bench::SpreadOf(slow), held, goal, "3 s companion",
                  "ready companion", "ms");
    bench::Report("P8", "source-held-virtual", bench::SpreadOf(later), held, goal,
                  "20 MB read after the drop", "file drop", "ms");
    pakico.ChooseEnd();
    pakico.WaitForExit(kSettleMs);
}

// Waits for the program's window to settle and drops the file on its middle; whether the drag
// found the window.
bool DropOnWindow(ProgramRun& program, const char* windowClass, const std::string& file) {
    Sleep(1500);
    std::vector<HWND> windows = TopWindows(windowClass, program.ProcessId());
    if (windows.empty())
        return false;
    RECT frame{};
    GetWindowRect(windows.front(), &frame);
    DragFiles({}, {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2}, {file});
    return true;
}

void StartAndMemory() {
    const std::string hello = ProgramFolder() + "HelloWindow.exe";
    std::vector<double> cat, bare;
    std::vector<double> catPrivate, catWorking, barePrivate, bareWorking;
    std::vector<double> targetPrivate, targetWorking;
    for (int run = 0; run < kRuns; ++run) {
        ClearSettings();
        SaveCatPlace(400, 300);
        PakicoRun pakico(TypicalLayout());
        Quieten(pakico);
        const std::string text = pakico.Scratch() + "memo.txt";
        WriteFileBytes(text, "memo");
        ProgramRunPtr program;
        cat.push_back(
            StartUntilVisible(program, pakico.Folder() + "Pakico.exe", "TArchiveCoolForm"));
        if (run < kMemoryRuns) {
            // One drop, as the program is after a first use.
            if (DropOnWindow(*program, "TArchiveCoolForm", text))
                WaitForMorvaRuns(pakico.Folder(), 1, 10000);
            Sleep(500);
            Memory memory = MemoryOf(program->ProcessId());
            catPrivate.push_back(memory.privateMb);
            catWorking.push_back(memory.workingSetMb);
        }
        CloseAndWait(program, "TArchiveCoolForm");

        ProgramRunPtr window;
        bare.push_back(StartUntilVisible(window, hello, "PakicoBenchHello"));
        if (run < kMemoryRuns) {
            Sleep(1500);
            Memory memory = MemoryOf(window->ProcessId());
            barePrivate.push_back(memory.privateMb);
            bareWorking.push_back(memory.workingSetMb);
        }
        CloseAndWait(window, "PakicoBenchHello");

        if (run < kMemoryRuns) {
            // The same window registered as an OLE drop target, after the same drop: what the
            // platform's drag and drop costs any program that takes a drop.
            ProgramRunPtr target;
            StartUntilVisible(target, hello, "PakicoBenchHello", "--drop-target");
            DropOnWindow(*target, "PakicoBenchHello", text);
            Sleep(500);
            Memory memory = MemoryOf(target->ProcessId());
            targetPrivate.push_back(memory.privateMb);
            targetWorking.push_back(memory.workingSetMb);
            CloseAndWait(target, "PakicoBenchHello");
        }
    }
    bench::Report("P6", "start-to-visible", bench::SpreadOf(cat), bench::SpreadOf(bare), 1.3, "cat",
                  "bare window", "ms");
    bench::Report("P7", "resident-memory", bench::SpreadOf(catPrivate),
                  bench::SpreadOf(barePrivate), 1.5, "private", "bare window private", "MB");
    bench::Report("P7", "resident-working-set", bench::SpreadOf(catWorking),
                  bench::SpreadOf(bareWorking), 1.5, "working set", "bare window working set",
                  "MB");
    // Not a measure: the same window with a drop target, for reading P7.
    const bench::Spread refPrivate = bench::SpreadOf(targetPrivate);
    const bench::Spread refWorking = bench::SpreadOf(targetWorking);
    std::printf("  P7 reference: bare window with an OLE drop target after the same drop: private "
                "%s, working set %s; the cat against it: %.2fx private, %.2fx working set\n",
                bench::Describe(refPrivate, "MB").c_str(),
                bench::Describe(refWorking, "MB").c_str(),
                refPrivate.median > 0 ? bench::SpreadOf(catPrivate).median / refPrivate.median : 0,
                refWorking.median > 0 ? bench::SpreadOf(catWorking).median / refWorking.median : 0);
    std::fflush(stdout);
}

} // namespace

// With no argument every measure runs; "P1", "P6" (which also gives P7) or "P8" runs that one
// only.
int main(int argc, char** argv) {
    auto wanted = [&](const char* measure) {
        return argc < 2 || std::any_of(argv + 1, argv + argc,
                                       [&](const char* arg) { return !std::strcmp(arg, measure); });
    };
    ClearSettings();
    if (wanted("P1"))
        DropToStart();
    ClearSettings();
    if (wanted("P8"))
        SourceHeld();
    ClearSettings();
    if (wanted("P6") || wanted("P7"))
        StartAndMemory();
    ClearSettings();
    return 0;
}
