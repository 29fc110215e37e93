// The recognizer's share of a drop and the automatic import's step, against the bare work on
// the same strings, bytes and folder:
//   P2 import-100k: one step of the automatic import (listing the watched folder and telling
//      the new files from the old) in a folder of 100,000 files, against one bare
//      FindFirstFileA/FindNextFileA listing of the same folder;
//   P3 recognize-10k: the quick archive test of 10,000 paths without an archive extension,
//      with the stand-in libraries beside the program, against a loop that only walks them;
//   P4 cab-scan: the cabinet signature search over 104 KB in memory, against a Boyer-Moore
//      search of the same buffer;
//   P9 virtual-stream-100mb: a dropped item of 100 MB that its source offers as a stream (one on
//      a file), written into a drop's folder, against a plain copy of that file; and the peak of
//      private memory writing it, against writing an item of 10 MB the same way.
//   P10 watch-end-100k: the end of a watch in whose folder 100,000 archives arrived unreported
//      (its last look, the question's count, the import and the hand-off list), as the
//      longest stretch the window's thread is kept busy at a time, against the whole end done
//      on one thread; the goal is that stretch within 50 ms.
#include "BenchSupport.h"

#include "archive/ArchiveRecognizer.h"
#include "archive/ArchiveRules.h"
#include "handoff/HandOffList.h"
#include "shell/VirtualFiles.h"
#include "util/CodePagePath.h"
#include "util/FileProbe.h"
#include "win/DropTestSupport.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"
#include "watch/DiscMonitor.h"
#include "watch/FolderListing.h"
#include "watch/ImportListing.h"
#include "watch/ImportWatch.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <utility>

namespace {

constexpr int kRuns = 15;

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Runs the two bodies in turn, `runs` times each, so that a slow moment of the machine
// falls on both alike; their timings in ms.
std::pair<bench::Spread, bench::Spread> Interleaved(const std::function<void()>& measured,
                                                    const std::function<void()>& bare,
                                                    int runs = kRuns) {
    std::vector<double> a, b;
    for (int run = 0; run < runs; ++run) {
        double start = NowMs();
        measured();
        a.push_back(NowMs() - start);
        start = NowMs();
        bare();
        b.push_back(NowMs() - start);
    }
    return {bench::SpreadOf(a), bench::SpreadOf(b)};
}

volatile std::size_t sink;

void RecognizeTenThousand() {
    // The libraries are looked for beside the program, quiet: no call log.
    const std::string own = testing_support::ExeFolder();
    for (const char* library : {"Unlha32.dll", "Unzip32.dll", "Zip32j.dll", "cab32.dll",
                                "Tar32.dll", "Unarj32j.dll", "unrar32.dll"}) {
        testing_support::CopyStandin(own, library);
        testing_support::SetStandinControl(own, library, "log=0\r\n");
    }
    const char* extensions[] = {".txt", ".doc", ".jpg", ".bmp", ".c", ".html", ".pdf", ""};
    std::vector<std::vector<std::string>> drops;
    for (int i = 0; i < 10000; ++i)
        drops.push_back({"C:\\Users\\someone\\Documents\\資料\\report-" + std::to_string(i) +
                         extensions[i % 8]});
    AreAllArchives(drops.front()); // the libraries load once, outside the timing
    auto [measured, bare] = Interleaved(
        [&] {
            std::size_t archives = 0;
            for (const auto& drop : drops)
                archives += AreAllArchives(drop);
            sink = archives;
        },
        [&] {
            std::size_t bytes = 0;
            for (const auto& drop : drops)
                for (char c : drop.front())
                    bytes += static_cast<unsigned char>(c);
            sink = bytes;
        });
    bench::Report("P3", "recognize-10k", measured, bare, 3, "quick test", "walk", "ms");
}

void CabinetScan() {
    std::vector<std::uint8_t> buffer(kCabinetScanBuffer);
    std::mt19937 random(7);
    for (auto& byte : buffer)
        byte = static_cast<std::uint8_t>(random() % 255 + 1); // never the signature
    const char signature[] = "MSCF";
    const std::boyer_moore_searcher searcher(signature, signature + 4);
    auto [measured, bare] = Interleaved(
        [&] {
            std::size_t found = 0;
            for (int i = 0; i < 100; ++i)
                found += FindCabinetSignature(buffer.data(), buffer.size()).value_or(0);
            sink = found;
        },
        [&] {
            std::size_t found = 0;
            for (int i = 0; i < 100; ++i)
                found += std::search(buffer.begin(), buffer.end(), searcher) - buffer.begin();
            sink = found;
        });
    bench::Report("P4", "cab-scan", measured, bare, 1.5, "scan x100", "Boyer-Moore x100", "ms");
}

// The folder's size: 100,000 files, or fewer for a quick look ("PAKICO_BENCH_IMPORT_FILES").
int ImportFolderSize() {
    char text[16] = "";
    DWORD length = GetEnvironmentVariableA("PAKICO_BENCH_IMPORT_FILES", text, sizeof text);
    int asked = length > 0 && length < sizeof text ? std::atoi(text) : 0;
    return asked > 0 ? asked : 100000;
}

// The folder of the import's measures, ending in '\\': one filled beforehand
// ("PAKICO_BENCH_IMPORT_DIR", a full path ending in '\\') is used as it is, since making
// 100,000 files one by one takes longer than the measures themselves; otherwise one made here
// (`made`) with `files` empty archives.
std::string ImportFolder(std::unique_ptr<testing_support::TempFolder>& made, int& files) {
    char given[MAX_PATH] = "";
    DWORD givenLength = GetEnvironmentVariableA("PAKICO_BENCH_IMPORT_DIR", given, sizeof given);
    files = 0;
    if (givenLength > 0 && givenLength < sizeof given)
        return given;
    made = std::make_unique<testing_support::TempFolder>("imp");
    files = ImportFolderSize();
    for (int i = 0; i < files; ++i) {
        const std::string path = made->path() + "取込-" + std::to_string(i) + ".lzh";
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return made->path();
}

void ImportHundredThousand() {
    std::unique_ptr<testing_support::TempFolder> made;
    int files = 0;
    const std::string base = ImportFolder(made, files);
    const std::string watched = base.substr(0, base.size() - 1);
    watch::TImportListing listing(watch::ListFolderFiles(watched));
    if (files == 0)
        files = static_cast<int>(listing.Current().size());
    auto [measured, bare] = Interleaved(
        [&] {
            listing.Update(watch::ListFolderFiles(watched));
            sink = listing.Current().size() + listing.Collected().size();
        },
        [&] {
            std::size_t entries = 0;
            WIN32_FIND_DATAA entry;
            HANDLE find = FindFirstFileA((base + "*").c_str(), &entry);
            if (find != INVALID_HANDLE_VALUE) {
                do
                    ++entries;
                while (FindNextFileA(find, &entry));
                FindClose(find);
            }
            sink = entries;
        },
        // Each listing of 100,000 files takes seconds under the compatibility layer.
        5);
    const std::string name = files == 100000 ? "import-100k" : "import-" + std::to_string(files);
    bench::Report("P2", name.c_str(), measured, bare, 1.5, "import step", "bare listing", "ms");
}

double PeakPrivateMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / 1048576.0;
}

void VirtualStream() {
    testing_support::TempFolder folder("bench");
    const std::string drop = folder.path() + "drop";
    CreateDirectoryA(drop.c_str(), nullptr);
    std::vector<char> piece(1 << 20);
    std::mt19937 random(9);
    std::generate(piece.begin(), piece.end(), [&] { return static_cast<char>(random()); });
    auto makeSource = [&](const std::string& name, int megabytes) {
        HANDLE file = CreateFileA((folder.path() + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        for (int i = 0; i < megabytes; ++i)
            WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
        CloseHandle(file);
        return WideText(folder.path() + name);
    };
    const std::wstring small = makeSource("small.bin", 10), large = makeSource("large.bin", 100);
    std::atomic<bool> stop{false};
    // Writes the item into the drop's folder; the time it took in ms, or -1.
    int failed = 0;
    // Writes the item into the drop's folder (both ways delete their copy again).
    auto write = [&](const std::wstring& source, std::uint64_t size) {
        // A source that offers the file as a stream on it.
        drop_test::TestDataObject data;
        data.OfferItemFile(DropFormats().fileContents, 0, source);
        vfiles::DescribedItem item;
        item.name = u"item.bin";
        item.size = size;
        const VirtualFilesWritten written = WriteVirtualFiles(&data, {item}, drop, stop);
        const std::string path = drop + "\\item.bin";
        if (written.outcome != VirtualFilesWritten::Outcome::Written || FileSizeQuiet(path) != size)
            ++failed;
        DeleteFileA(path.c_str());
    };
    ScopedDropSupport ole;
    write(small, 10 << 20);
    const double smallPeak = PeakPrivateMb();
    write(large, 100 << 20);
    const double largePeak = PeakPrivateMb();
    const std::wstring copy = WideText(folder.path() + "copy.bin");
    auto [measured, bare] = Interleaved([&] { write(large, 100 << 20); },
                                        [&] {
                                            CopyFileW(large.c_str(), copy.c_str(), FALSE);
                                            DeleteFileW(copy.c_str());
                                        },
                                        7);
    if (failed) {
        std::printf("P9 virtual-stream-100mb: the item was not written whole %d times\n", failed);
        return;
    }
    bench::Report("P9", "virtual-stream-100mb", measured, bare, 2, "stream written", "plain copy",
                  "ms");
    std::printf("P9 virtual-stream-memory: %.2fx (goal <= 1.1x; peak private writing 100 MB %.1f "
                "MB, writing 10 MB %.1f MB)\n",
                smallPeak > 0 ? largePeak / smallPeak : 0, largePeak, smallPeak);
    std::fflush(stdout);
    DeleteFileW(small.c_str());
    DeleteFileW(large.c_str());
    RemoveDirectoryA(drop.c_str());
}

// The watch's first listing finds the folder empty, as if every file of it arrived afterwards.
bool startsEmpty = false;
std::vector<watch::TListedFile> ListedAfterTheStart(const std::string& folder) {
    if (std::exchange(startsEmpty, false))
        return {};
    return watch::ListFolderFiles(folder);
}

// The companion's share of the hand-off: the list written (and taken away again here).
bool WriteList(const std::vector<std::string>& archives) {
    std::string list;
    const bool written = WriteHandOffList(archives, list);
    DeleteFileA(list.c_str());
    return written;
}

// The longest time, in ms, that one step of `step` and then of this thread's message loop kept
// the thread busy, until `done`; at most ten minutes.
double LongestBusyStretch(const std::function<void()>& step, const std::function<bool()>& done) {
    double longest = 0;
    auto timed = [&](const std::function<void()>& work) {
        const double start = NowMs();
        work();
        longest = std::max(longest, NowMs() - start);
    };
    timed(step);
    for (const double end = NowMs() + 600000; !done() && NowMs() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        // Sent messages (the looks' answers) run inside PeekMessage: one batch is one stretch.
        timed([] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        });
    }
    return longest;
}

void WatchEndHundredThousand() {
    std::unique_ptr<testing_support::TempFolder> made;
    int files = 0;
    const std::string base = ImportFolder(made, files);
    const std::string watched = base.substr(0, base.size() - 1);
    std::vector<double> stretches, whole;
    std::size_t handedOver = 0;
    for (int run = 0; run < 3; ++run) {
        {
            // No change report is heard, as where the platform sends none.
            TDiscMonitor monitor;
            watch::TImportWatch importWatch(monitor);
            importWatch.Lister = ListedAfterTheStart;
            startsEmpty = true;
            importWatch.Start(watched);
            bool ended = false;
            stretches.push_back(LongestBusyStretch(
                [&] {
                    importWatch.LastLook([&](std::size_t) {
                        importWatch.Import(
                            watch::ImportChecks(),
                            [](const std::vector<std::string>& archives) {
                                return WriteList(archives) ? watch::TImportHandOver::Done
                                                           : watch::TImportHandOver::ListNotWritten;
                            },
                            [&](const watch::TImportOutcome& outcome, watch::TImportHandOver,
                                std::exception_ptr) {
                                handedOver = outcome.archives.size();
                                ended = true;
                            });
                    });
                },
                [&] { return ended; }));
        }
        // The same end on one thread: the last look and its count, the import's look, the sort
        // and the list.
        const double start = NowMs();
        watch::TImportListing listing({});
        listing.Update(watch::LookAtFolder(watched, true, watch::ListFolderFiles).files);
        std::size_t stillThere = 0;
        for (const watch::TListedFile& file : listing.Collected())
            stillThere += watch::ListedFileExists(file);
        listing.Update(watch::LookAtFolder(watched, true, watch::ListFolderFiles).files);
        listing.Finish();
        const watch::TImportOutcome outcome =
            watch::SortCollected(listing.Collected(), watch::ImportChecks());
        WriteList(outcome.archives);
        whole.push_back(NowMs() - start);
        sink = stillThere + outcome.archives.size();
    }
    const bench::Spread bare = bench::SpreadOf(whole);
    const std::string name =
        handedOver == 100000 ? "watch-end-100k" : "watch-end-" + std::to_string(handedOver);
    bench::Report("P10", name.c_str(), bench::SpreadOf(stretches), bare,
                  bare.median > 0 ? 50 / bare.median : 0, "longest stretch on the window's thread",
                  "the whole end on one thread", "ms");
}

} // namespace

// With no argument every measure runs; "P9" or "P10" runs that one only.
int main(int argc, char** argv) {
    const std::string only = argc < 2 ? std::string() : argv[1];
    if (only.empty()) {
        ImportHundredThousand();
        RecognizeTenThousand();
        CabinetScan();
    }
    if (only.empty() || only == "P9")
        VirtualStream();
    if (only.empty() || only == "P10")
        WatchEndHundredThousand();
    return 0;
}
