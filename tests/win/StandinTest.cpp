// Tests of the stand-in archiver libraries and the stand-in companion, which the other tests
// rely on: what the libraries export, how they answer and log, and what the companion records.
#include "support/Standins.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <set>

using namespace testing_support;

namespace {

using QueryFn = int(WINAPI*)();
using SetterFn = int(WINAPI*)(int);
using CheckFn = int(WINAPI*)(const char*, int);

// A stand-in copied into its own folder (with an optional control file written before the
// load) and loaded from there by full path.
class LoadedStandin {
  public:
    LoadedStandin(const std::string& file, const std::string& control = std::string())
        : file_(file) {
        CopyStandin(folder_.path(), file);
        SetStandinControl(folder_.path(), file, control);
        module_ = LoadLibraryA(Path().c_str());
    }
    ~LoadedStandin() {
        if (module_)
            FreeLibrary(module_);
    }
    LoadedStandin(const LoadedStandin&) = delete;
    LoadedStandin& operator=(const LoadedStandin&) = delete;

    HMODULE module() const { return module_; }
    const std::string& folder() const { return folder_.path(); }
    std::string Path() const { return folder_.path() + file_; }

    template <class Fn> Fn Entry(const char* name) const {
        FARPROC proc = GetProcAddress(module_, name);
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
    }
    int Query(const char* name) const { return Entry<QueryFn>(name)(); }
    int Set(const char* name, int value) const { return Entry<SetterFn>(name)(value); }
    int Check(const char* name, const std::string& path, int mode = 1) const {
        return Entry<CheckFn>(name)(path.c_str(), mode);
    }
    // Writes bytes to a file in the stand-in's folder and asks the check entry point about it.
    int CheckBytes(const char* name, const std::string& fileName, const std::string& bytes) const {
        WriteFileBytes(folder_.path() + fileName, bytes);
        return Check(name, folder_.path() + fileName);
    }
    void Control(const std::string& text) const { SetStandinControl(folder(), file_, text); }
    std::vector<std::string> Calls() const { return StandinCalls(folder(), file_); }

  private:
    TempFolder folder_{"pkstd"};
    std::string file_;
    HMODULE module_ = nullptr;
};

std::string Bytes(const char* data, std::size_t n) {
    return std::string(data, n);
}

// head, then zero bytes up to size.
std::string Padded(std::string head, std::size_t size) {
    if (head.size() < size)
        head.resize(size, '\0');
    return head;
}

// A self-extractor: "MZ", zeros, and the given bytes at offset.
std::string SelfExtractor(const std::string& payload, std::size_t offset) {
    return Padded("MZ", offset) + payload + std::string(64, '\0');
}

const std::string kLzh = Padded(Bytes("\x22\x5a-lh5-", 7), 64);
const std::string kZip = Padded(Bytes("PK\x03\x04\x14\x00", 6), 64);
const std::string kCab = Padded(Bytes("MSCF\0\0\0\0\x20\x01", 10), 64);
const std::string kArj = Padded(Bytes("\x60\xEA\x29\x00", 4), 64);
const std::string kRar = Padded(Bytes("Rar!\x1A\x07\x00", 7), 64);
std::string TarBlock() {
    std::string block = Padded("a.txt", 512);
    block.replace(257, 6, Bytes("ustar\0", 6));
    return block;
}

std::vector<std::string> ExportNames(HMODULE module) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (dir.VirtualAddress == 0 || dir.Size == 0)
        return names;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    // An entry reachable only by ordinal would be an export this table does not show.
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
    std::sort(names.begin(), names.end());
    return names;
}

const std::map<std::string, std::vector<std::string>> kExpectedExports = {
    {"Unlha32.dll",
     {"UnlhaCheckArchive", "UnlhaGetCursorMode", "UnlhaGetRunning", "UnlhaSetCursorMode"}},
    {"Unzip32.dll", {"UnZipCheckArchive", "UnZipGetRunning", "UnZipGetVersion"}},
    {"Zip32j.dll", {"ZipGetRunning"}},
    {"cab32.dll", {"CabCheckArchive", "CabGetRunning"}},
    {"Tar32.dll", {"TarCheckArchive", "TarGetRunning", "TarGetVersion"}},
    {"Unarj32j.dll",
     {"UnarjCheckArchive", "UnarjGetCursorMode", "UnarjGetRunning", "UnarjSetCursorMode"}},
    {"unrar32.dll", {"UnrarCheckArchive", "UnrarGetRunning"}},
    {"unrar.dll", {}},
    {"BZ2LIB.dll", {}},
    {"ZCrypt32.DLL", {}},
};

TEST(StandinExports, EachLibraryExportsExactlyItsOwnEntryPoints) {
    std::set<std::string> everyName;
    for (const auto& [file, names] : kExpectedExports)
        everyName.insert(names.begin(), names.end());

    for (const auto& [file, names] : kExpectedExports) {
        SCOPED_TRACE(file);
        LoadedStandin lib(file);
        ASSERT_NE(lib.module(), nullptr) << GetLastError();
        char loaded[MAX_PATH];
        DWORD n = GetModuleFileNameA(lib.module(), loaded, sizeof loaded);
        EXPECT_EQ(lstrcmpiA(std::string(loaded, n).c_str(), lib.Path().c_str()), 0)
            << "loaded " << std::string(loaded, n) << " instead of the copy";

        EXPECT_EQ(ExportNames(lib.module()), names);
        for (const std::string& name : everyName) {
            bool own = std::find(names.begin(), names.end(), name) != names.end();
            EXPECT_EQ(GetProcAddress(lib.module(), name.c_str()) != nullptr, own) << name;
        }
    }
}

// Each family's file is accepted by its own library and by no other.
TEST(StandinSignature, EachLibraryAcceptsOnlyItsOwnFamily) {
    struct Family {
        const char* file;
        const char* check;
        std::string sample;
    };
    const std::vector<Family> families = {
        {"Unlha32.dll", "UnlhaCheckArchive", kLzh},  {"Unzip32.dll", "UnZipCheckArchive", kZip},
        {"cab32.dll", "CabCheckArchive", kCab},      {"Tar32.dll", "TarCheckArchive", TarBlock()},
        {"Unarj32j.dll", "UnarjCheckArchive", kArj}, {"unrar32.dll", "UnrarCheckArchive", kRar},
    };
    for (const Family& library : families) {
        LoadedStandin lib(library.file);
        ASSERT_NE(lib.module(), nullptr) << library.file;
        for (std::size_t i = 0; i < families.size(); ++i) {
            int expected = families[i].file == library.file ? 1 : 0;
            EXPECT_EQ(
                lib.CheckBytes(library.check, "sample" + std::to_string(i), families[i].sample),
                expected)
                << library.check << " on the sample of " << families[i].file;
        }
        EXPECT_EQ(lib.CheckBytes(library.check, "note.txt", "just some text\r\n"), 0)
            << library.check;
        EXPECT_EQ(lib.CheckBytes(library.check, "empty.bin", ""), 0) << library.check;
        EXPECT_EQ(lib.Check(library.check, lib.folder() + "missing.bin"), 0) << library.check;
    }
}

// Each library's marks, whole and damaged, as one library at a time reads them.
TEST(StandinSignature, EachLibraryReadsItsMarksWholeOnly) {
    struct Row {
        const char* file;
        const char* check;
        const char* name;
        std::string bytes;
        int expected;
    };
    const Row rows[] = {
        // The Lzh method id sits two bytes into the header.
        {"Unlha32.dll", "UnlhaCheckArchive", "a.lzh", Padded(Bytes("\x10\x00-lh0-", 7), 32), 1},
        {"Unlha32.dll", "UnlhaCheckArchive", "b.lzh", Padded(Bytes("\x10\x00-lhd-", 7), 32), 1},
        {"Unlha32.dll", "UnlhaCheckArchive", "c.lzh", Padded("-lh5-", 32), 0},
        {"Unlha32.dll", "UnlhaCheckArchive", "d.lzh", Padded(Bytes("\x10\x00-xh5-", 7), 32), 0},
        {"Unlha32.dll", "UnlhaCheckArchive", "e.lzh", Padded(Bytes("\x10\x00-lh5x", 7), 32), 0},
        // An Lzh self-extractor is searched for an lh method only.
        {"Unlha32.dll", "UnlhaCheckArchive", "lz.exe", SelfExtractor("-lz5-", 5000), 0},
        {"Unlha32.dll", "UnlhaCheckArchive", "lh.exe", SelfExtractor("-lh7-", 5000), 1},
        // Zip: a local header or an empty archive, nothing else.
        {"Unzip32.dll", "UnZipCheckArchive", "a.zip", Padded(Bytes("PK\x05\x06", 4), 22), 1},
        {"Unzip32.dll", "UnZipCheckArchive", "b.zip", Padded(Bytes("PK\x07\x08", 4), 22), 0},
        {"Unzip32.dll", "UnZipCheckArchive", "c.zip", Padded(Bytes("PK\x03", 3), 3), 0},
        // A cabinet's reserved field is zero.
        {"cab32.dll", "CabCheckArchive", "a.cab", Padded(Bytes("MSCF\x01\0\0\0", 8), 64), 0},
        {"cab32.dll", "CabCheckArchive", "b.cab", Bytes("MSCF\0\0\0", 7), 0},
        // The tar library knows tar, gzip, bzip2 and compress, and searches no self-extractor.
        {"Tar32.dll", "TarCheckArchive", "a.gz", Padded(Bytes("\x1F\x8B\x08", 3), 32), 1},
        {"Tar32.dll", "TarCheckArchive", "a.bz2", Padded("BZh91AY&SY", 32), 1},
        {"Tar32.dll", "TarCheckArchive", "a.Z", Padded(Bytes("\x1F\x9D\x90", 3), 32), 1},
        {"Tar32.dll", "TarCheckArchive", "b.tar", Padded(Padded("a.txt", 256) + "ustar", 512), 0},
        {"Tar32.dll", "TarCheckArchive", "b.gz", Padded(Bytes("\x1F\x8C", 2), 32), 0},
        {"Tar32.dll", "TarCheckArchive", "b.bz2", Padded("BZ", 32), 0},
        {"Tar32.dll", "TarCheckArchive", "gz.exe", SelfExtractor(Bytes("\x1F\x8B\x08", 3), 4096),
         0},
        {"Tar32.dll", "TarCheckArchive", "tar.exe", SelfExtractor(TarBlock(), 4096), 0},
        // Arj and Rar need their whole marks.
        {"Unarj32j.dll", "UnarjCheckArchive", "a.arj", Padded(Bytes("\xEA\x60", 2), 32), 0},
        {"unrar32.dll", "UnrarCheckArchive", "a.rar", Padded(Bytes("Rar!\x1A\x08", 6), 32), 0},
    };
    std::map<std::string, std::unique_ptr<LoadedStandin>> libraries;
    for (const Row& row : rows) {
        std::unique_ptr<LoadedStandin>& lib = libraries[row.file];
        if (!lib)
            lib = std::make_unique<LoadedStandin>(row.file);
        ASSERT_NE(lib->module(), nullptr) << row.file;
        EXPECT_EQ(row.expected, lib->CheckBytes(row.check, row.name, row.bytes))
            << row.file << " on " << row.name;
    }
}

TEST(StandinSignature, SelfExtractorIsSearchedWithinItsFirstMegabyte) {
    struct Family {
        const char* file;
        const char* check;
        std::string mark;
    };
    const std::vector<Family> families = {
        {"Unlha32.dll", "UnlhaCheckArchive", kLzh.substr(0, 7)},
        {"Unzip32.dll", "UnZipCheckArchive", kZip.substr(0, 4)},
        {"cab32.dll", "CabCheckArchive", kCab.substr(0, 8)},
        {"Unarj32j.dll", "UnarjCheckArchive", kArj.substr(0, 2)},
        {"unrar32.dll", "UnrarCheckArchive", kRar.substr(0, 6)},
    };
    const std::size_t megabyte = 1024 * 1024;
    for (const Family& family : families) {
        SCOPED_TRACE(family.file);
        LoadedStandin lib(family.file);
        ASSERT_NE(lib.module(), nullptr);
        EXPECT_EQ(lib.CheckBytes(family.check, "near.exe", SelfExtractor(family.mark, 70000)), 1);
        EXPECT_EQ(
            lib.CheckBytes(family.check, "edge.exe", SelfExtractor(family.mark, megabyte - 16)), 1);
        EXPECT_EQ(
            lib.CheckBytes(family.check, "far.exe", SelfExtractor(family.mark, megabyte + 16)), 0);
        // Without "MZ" in front the mark counts only at the start of the file.
        std::string noStub = Padded("XX", 70000) + family.mark + std::string(64, '\0');
        EXPECT_EQ(lib.CheckBytes(family.check, "nostub.bin", noStub), 0);
        EXPECT_EQ(lib.CheckBytes(family.check, "plain.exe", SelfExtractor("nothing", 70000)), 0);
    }
}

TEST(StandinControl, AnswerYesAndNoOverrideTheSignature) {
    LoadedStandin lib("Unlha32.dll");
    ASSERT_NE(lib.module(), nullptr);
    WriteFileBytes(lib.folder() + "real.lzh", kLzh);
    lib.Control("answer=yes\r\n");
    EXPECT_EQ(lib.Check("UnlhaCheckArchive", lib.folder() + "missing.lzh"), 1);
    // Read again at every call: the next answer follows the new file.
    lib.Control("answer=no\n");
    EXPECT_EQ(lib.Check("UnlhaCheckArchive", lib.folder() + "real.lzh"), 0);
    lib.Control("");
    EXPECT_EQ(lib.Check("UnlhaCheckArchive", lib.folder() + "real.lzh"), 1);
}

TEST(StandinControl, AnswerListAcceptsExactlyTheListedPaths) {
    // ア is 83 41 and ヂ is 83 61: they differ only as 'A' and 'a' do in the trail byte.
    ASSERT_EQ(std::string("ア"), "\x83\x41");
    ASSERT_EQ(std::string("ヂ"), "\x83\x61");
    LoadedStandin lib("cab32.dll");
    ASSERT_NE(lib.module(), nullptr);
    lib.Control("answer=list\r\naccept=C:\\表示\\ア.CAB\r\nunknown=1\r\naccept=D:\\two.exe\r\n");
    EXPECT_EQ(lib.Check("CabCheckArchive", "C:\\表示\\ア.CAB"), 1);
    EXPECT_EQ(lib.Check("CabCheckArchive", "c:\\表示\\ア.cab"), 1);
    EXPECT_EQ(lib.Check("CabCheckArchive", "D:\\TWO.EXE", 0), 1);
    EXPECT_EQ(lib.Check("CabCheckArchive", "C:\\表示\\ヂ.CAB"), 0);
    EXPECT_EQ(lib.Check("CabCheckArchive", "C:\\表示\\ア.CAB "), 0);
    EXPECT_EQ(lib.Check("CabCheckArchive", "D:\\two.ex"), 0);
    // A listed file is accepted without being opened; an unlisted real cabinet is not.
    WriteFileBytes(lib.folder() + "real.cab", kCab);
    EXPECT_EQ(lib.Check("CabCheckArchive", lib.folder() + "real.cab"), 0);
}

TEST(StandinControl, RunningIsReadAtEveryCall) {
    LoadedStandin lib("Zip32j.dll");
    ASSERT_NE(lib.module(), nullptr);
    EXPECT_EQ(lib.Query("ZipGetRunning"), 0);
    lib.Control("running=1\r\n");
    EXPECT_EQ(lib.Query("ZipGetRunning"), 1);
    lib.Control("running=0\r\n");
    EXPECT_EQ(lib.Query("ZipGetRunning"), 0);
}

TEST(StandinControl, VersionsHaveDefaultsAndCanBeSet) {
    LoadedStandin unzip("Unzip32.dll");
    LoadedStandin tar("Tar32.dll");
    ASSERT_NE(unzip.module(), nullptr);
    ASSERT_NE(tar.module(), nullptr);
    EXPECT_EQ(unzip.Query("UnZipGetVersion"), 550);
    EXPECT_EQ(tar.Query("TarGetVersion"), 250);
    unzip.Control("version=96\r\n");
    tar.Control("running=1\r\nversion=49\r\n");
    EXPECT_EQ(unzip.Query("UnZipGetVersion"), 96);
    EXPECT_EQ(tar.Query("TarGetVersion"), 49);
    EXPECT_EQ(tar.Query("TarGetRunning"), 1);
}

TEST(StandinControl, CursorModeStartsFromTheControlFileAndKeepsWhatIsSet) {
    LoadedStandin unlha("Unlha32.dll", "cursor=3\r\n");
    LoadedStandin unarj("Unarj32j.dll");
    ASSERT_NE(unlha.module(), nullptr);
    ASSERT_NE(unarj.module(), nullptr);
    EXPECT_EQ(unlha.Query("UnlhaGetCursorMode"), 3);
    EXPECT_EQ(unarj.Query("UnarjGetCursorMode"), 0);
    unlha.Set("UnlhaSetCursorMode", 0);
    unarj.Set("UnarjSetCursorMode", 5);
    EXPECT_EQ(unlha.Query("UnlhaGetCursorMode"), 0);
    EXPECT_EQ(unarj.Query("UnarjGetCursorMode"), 5);
    // Only the load reads the starting mode.
    unlha.Control("cursor=9\r\n");
    EXPECT_EQ(unlha.Query("UnlhaGetCursorMode"), 0);
}

TEST(StandinLog, EveryCallIsOneLineWithItsArguments) {
    LoadedStandin lib("Unlha32.dll");
    ASSERT_NE(lib.module(), nullptr);
    const std::string path = "C:\\表示\\ソフト 1.lzh";
    lib.Query("UnlhaGetRunning");
    lib.Set("UnlhaSetCursorMode", 0);
    lib.Query("UnlhaGetCursorMode");
    lib.Check("UnlhaCheckArchive", path, 1);
    lib.Check("UnlhaCheckArchive", path, 4);
    EXPECT_EQ(ReadFileBytes(lib.Path() + ".log"),
              "UnlhaGetRunning\r\nUnlhaSetCursorMode\t0\r\nUnlhaGetCursorMode\r\n"
              "UnlhaCheckArchive\t" +
                  path + "\t1\r\nUnlhaCheckArchive\t" + path + "\t4\r\n");

    ClearStandinLog(lib.folder(), "Unlha32.dll");
    EXPECT_TRUE(lib.Calls().empty());
    lib.Check("UnlhaCheckArchive", "x", -1);
    EXPECT_EQ(lib.Calls(), std::vector<std::string>{"UnlhaCheckArchive\tx\t-1"});
}

TEST(StandinLog, EachLibraryLogsUnderItsOwnName) {
    LoadedStandin zip("Unzip32.dll");
    LoadedStandin rar("unrar32.dll");
    ASSERT_NE(zip.module(), nullptr);
    ASSERT_NE(rar.module(), nullptr);
    zip.Query("UnZipGetVersion");
    zip.Query("UnZipGetRunning");
    rar.Check("UnrarCheckArchive", "D:\\a.rar", 0);
    EXPECT_EQ(zip.Calls(), (std::vector<std::string>{"UnZipGetVersion", "UnZipGetRunning"}));
    EXPECT_EQ(rar.Calls(), std::vector<std::string>{"UnrarCheckArchive\tD:\\a.rar\t0"});
}

TEST(StandinLog, LogZeroKeepsNoLogButStillAnswers) {
    LoadedStandin lib("Zip32j.dll");
    ASSERT_NE(lib.module(), nullptr);
    lib.Control("log=0\r\nrunning=1\r\n");
    EXPECT_EQ(lib.Query("ZipGetRunning"), 1);
    EXPECT_TRUE(lib.Calls().empty());
    lib.Control("running=1\r\n");
    EXPECT_EQ(lib.Query("ZipGetRunning"), 1);
    EXPECT_EQ(lib.Calls(), std::vector<std::string>{"ZipGetRunning"});
}

// What the fault handler saw on the thread that was made to fault.
struct FaultSeen {
    DWORD code = 0;
    ULONG_PTR access = 0;
    ULONG_PTR target = 1;
    void* address = nullptr;
};
std::atomic<DWORD> g_faultingThread{0};
std::atomic<bool> g_faultSeen{false};
FaultSeen g_fault;
constexpr DWORD kLeftAfterFault = 0xFA17;

__attribute__((force_align_arg_pointer)) void LeaveFaultedThread() {
    ExitThread(kLeftAfterFault);
}

LONG CALLBACK CatchTestFault(EXCEPTION_POINTERS* info) {
    if (GetCurrentThreadId() != g_faultingThread || g_faultSeen)
        return EXCEPTION_CONTINUE_SEARCH;
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    g_fault.code = record->ExceptionCode;
    if (record->NumberParameters >= 2) {
        g_fault.access = record->ExceptionInformation[0];
        g_fault.target = record->ExceptionInformation[1];
    }
    g_fault.address = record->ExceptionAddress;
    g_faultSeen = true;
    // Resume the thread somewhere that ends it, leaving the library's frame behind.
    info->ContextRecord->Eip = reinterpret_cast<DWORD>(&LeaveFaultedThread);
    return EXCEPTION_CONTINUE_EXECUTION;
}

struct CheckCall {
    CheckFn check;
    std::string path;
};

DWORD WINAPI RunCheck(void* param) {
    auto call = static_cast<CheckCall*>(param);
    g_faultingThread = GetCurrentThreadId();
    return static_cast<DWORD>(call->check(call->path.c_str(), 1));
}

TEST(StandinFault, FaultMakesTheCheckRaiseAnAccessViolationInsideTheLibrary) {
    for (const auto& [file, check] : std::vector<std::pair<std::string, std::string>>{
             {"Tar32.dll", "TarCheckArchive"}, {"Unzip32.dll", "UnZipCheckArchive"}}) {
        SCOPED_TRACE(file);
        LoadedStandin lib(file, "fault=1\r\n");
        ASSERT_NE(lib.module(), nullptr);
        WriteFileBytes(lib.folder() + "a.tgz", Padded(Bytes("\x1F\x8B", 2), 32));
        CheckCall call{lib.Entry<CheckFn>(check.c_str()), lib.folder() + "a.tgz"};
        ASSERT_NE(call.check, nullptr);

        g_faultSeen = false;
        g_fault = FaultSeen();
        g_faultingThread = 0;
        PVOID handler = AddVectoredExceptionHandler(1, CatchTestFault);
        ASSERT_NE(handler, nullptr);
        HANDLE thread = CreateThread(nullptr, 0, RunCheck, &call, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        DWORD waited = WaitForSingleObject(thread, 10000);
        DWORD exitCode = 0;
        GetExitCodeThread(thread, &exitCode);
        CloseHandle(thread);
        RemoveVectoredExceptionHandler(handler);
        ASSERT_EQ(waited, WAIT_OBJECT_0) << "the check neither returned nor faulted";

        EXPECT_EQ(exitCode, kLeftAfterFault) << "the check returned " << exitCode;
        ASSERT_TRUE(g_faultSeen);
        EXPECT_EQ(g_fault.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_EQ(g_fault.access, 1u) << "expected a write";
        EXPECT_EQ(g_fault.target, 0u) << "expected the null address";
        HMODULE faultingModule = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(g_fault.address), &faultingModule);
        EXPECT_EQ(faultingModule, lib.module());
        // The call is logged before the fault.
        EXPECT_EQ(lib.Calls(), std::vector<std::string>{check + "\t" + call.path + "\t1"});

        // Without the fault the same entry point answers again.
        lib.Control("");
        EXPECT_EQ(lib.Check(check.c_str(), call.path), file == "Tar32.dll" ? 1 : 0);
    }
}

// The companion stand-in in a folder whose name has a space and a 0x5C trail byte.
class MorvaStandinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        exeFolder_ = root_.path() + "表示 ソフト\\";
        ASSERT_TRUE(CreateDirectoryA(exeFolder_.c_str(), nullptr));
        CopyStandin(exeFolder_, "Morva.exe");
        listPath_ = root_.path() + "MRV1A2B.TMP";
    }

    std::string Exe() const { return "\"" + exeFolder_ + "Morva.exe\""; }

    // Starts the companion and waits for its record of this start.
    MorvaRun Start(const std::string& commandLine) {
        std::size_t before = ReadMorvaLog(exeFolder_).size();
        UINT started = WinExec(commandLine.c_str(), SW_SHOWNORMAL);
        EXPECT_GT(started, 31u) << commandLine;
        std::vector<MorvaRun> runs = WaitForMorvaRuns(exeFolder_, before + 1);
        EXPECT_EQ(runs.size(), before + 1) << "no record of " << commandLine;
        if (runs.size() != before + 1)
            return MorvaRun();
        EXPECT_TRUE(runs.back().finished);
        return runs.back();
    }

    TempFolder root_{"pkmrv"};
    std::string exeFolder_;
    std::string listPath_;
    const std::string listBytes_ = "C:\\データ\\表示.txt\r\nD:\\a b\\ソフト.lzh\r\n";
};

TEST_F(MorvaStandinTest, RecordsCommandLineAndListAndLeavesTheList) {
    WriteFileBytes(listPath_, listBytes_);
    const std::string cmd = Exe() + " /QA \\ @" + listPath_;
    MorvaRun run = Start(cmd);
    EXPECT_EQ(run.commandLine, cmd);
    EXPECT_EQ(run.listStatus, "read");
    EXPECT_TRUE(run.listFound);
    EXPECT_EQ(run.listBytes, listBytes_);
    EXPECT_TRUE(FileExists(listPath_));
}

TEST_F(MorvaStandinTest, DeletesTheListWhenTold) {
    WriteFileBytes(listPath_, listBytes_);
    SetMorvaControl(exeFolder_, "delete_list=1\r\n");
    const std::string cmd = Exe() + " /QE \\ @" + listPath_;
    MorvaRun run = Start(cmd);
    EXPECT_EQ(run.commandLine, cmd);
    EXPECT_EQ(run.listBytes, listBytes_);
    EXPECT_FALSE(FileExists(listPath_));
}

TEST_F(MorvaStandinTest, ReadsTheListWhenMoreSwitchesFollowIt) {
    WriteFileBytes(listPath_, "E:\\x.zip\r\n");
    const std::string cmd = Exe() + " /Da ArchiveIcon! @" + listPath_ + " /Send";
    MorvaRun run = Start(cmd);
    EXPECT_EQ(run.commandLine, cmd);
    EXPECT_EQ(run.listStatus, "read");
    EXPECT_EQ(run.listBytes, "E:\\x.zip\r\n");
}

TEST_F(MorvaStandinTest, RecordsStartsWithoutOrWithAMissingList) {
    MorvaRun bare = Start(Exe());
    EXPECT_EQ(bare.commandLine, Exe());
    EXPECT_EQ(bare.listStatus, "none");
    EXPECT_FALSE(bare.listFound);

    MorvaRun mail = Start(Exe() + " /X user@host");
    EXPECT_EQ(mail.listStatus, "none");

    MorvaRun missing = Start(Exe() + " /QA \\ @" + root_.path() + "MRVFFFF.TMP");
    EXPECT_EQ(missing.listStatus, "unreadable");
    EXPECT_FALSE(missing.listFound);
    EXPECT_EQ(ReadMorvaLog(exeFolder_).size(), 3u);
}

TEST(MorvaLog, ParsesLengthPrefixedRecordsAndLeavesAnUnfinishedOneOpen) {
    TempFolder folder;
    const std::string command = "M.exe /QA \\ @L\r\nlist 3\r\n";
    WriteFileBytes(folder.path() + "Morva.log",
                   "--- start\r\ncmdline " + std::to_string(command.size()) + "\r\n" + command +
                       "\r\nlist 4\r\na\r\nb\r\n--- end\r\n--- start\r\ncmdline 5\r\nM.exe\r\n"
                       "list none\r\n--- start\r\ncmdline 9\r\nM.e");
    std::vector<MorvaRun> runs = ReadMorvaLog(folder.path());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].commandLine, command);
    EXPECT_EQ(runs[0].listBytes, "a\r\nb");
    EXPECT_TRUE(runs[0].finished);
    EXPECT_EQ(runs[1].commandLine, "M.exe");
    EXPECT_EQ(runs[1].listStatus, "none");
    EXPECT_FALSE(runs[1].finished);

    WriteFileBytes(folder.path() + "Morva.log", "--- start\r\ncmdline 2\r\nabc\r\nlist none\r\n");
    EXPECT_THROW(ReadMorvaLog(folder.path()), std::runtime_error);
}

} // namespace
