// Files dragged onto the cat that exist only inside their source (mail attachments, the files of
// a compressed folder): written into a folder of the drop's own in the work folder, handed over
// as dropped files are, and cleared away a day later; hostile names never lead out of it.
#include "e2e/E2eSupport.h"

#include <algorithm>

using namespace e2e;
using namespace testing_support;

namespace {

// The time DragSource gives its virtual files: 2001-02-03 04:05:06 UTC.
FILETIME DescribedTime() {
    SYSTEMTIME time{2001, 2, 6, 3, 4, 5, 6, 0};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return file;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FILETIME WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Every time of a folder put `hours` back. (Wine keeps no creation time of its own: it gives the
// last write time as the creation time when that is older.)
void AgeFolder(const std::string& folder, int hours) {
    HANDLE handle =
        CreateFileA(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle) << folder;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER then{{now.dwLowDateTime, now.dwHighDateTime}};
    then.QuadPart -= hours * 36'000'000'000ull;
    FILETIME time{then.LowPart, then.HighPart};
    EXPECT_TRUE(SetFileTime(handle, &time, &time, &time));
    CloseHandle(handle);
}

// One drag's outcome. A drag that never reached its drop is a failure, as in DropAndWait; it is
// made again so that the rest of the journey still tells what it can.
DragOutcome DragOnto(const PakicoRun& pakico, const std::vector<std::string>& options,
                     const std::vector<std::string>& files) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::vector<DragOutcome> outcomes =
            DragFilesReported(options, pakico.Centre(), files);
        if (outcomes.size() == 1 && outcomes[0].effect < 100)
            return outcomes[0];
        ADD_FAILURE() << "drag " << attempt << " ended with "
                      << (outcomes.empty() ? -1 : outcomes[0].effect);
    }
    return DragOutcome{-1, 0, 0, 0, false, -1};
}

// The names in a folder, sorted.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry))
        if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..")
            names.push_back(entry.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

class VirtualDrop : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        SaveCatPlace(400, 300);
    }
    // The work folder inside the run's scratch folder, so that nothing outside it can hide.
    std::string UseWorkFolder(const PakicoRun& pakico) {
        const std::string work = pakico.Scratch() + "作業";
        EXPECT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
        EXPECT_TRUE(CreateDirectoryA((work + "\\~MORVA(").c_str(), nullptr));
        WriteSettingText("Setting", "WorkPath", work);
        return work + "\\~MORVA(";
    }
    // The drop's folder the list's first path lies in, directly inside `drops`.
    static std::string DropFolderOf(const MorvaRun& run, const std::string& drops) {
        const std::vector<std::string> lines = ListedPaths(run);
        if (lines.empty() || lines[0].compare(0, drops.size() + 1, drops + "\\") != 0)
            return "(not in the work folder: " + run.listBytes + ")";
        return lines[0].substr(0, lines[0].find('\\', drops.size() + 1));
    }
};

} // namespace

TEST_F(VirtualDrop, AttachmentsAreWrittenHandedOverAsFilesAndClearedAwayADayLater) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    const std::string drops = UseWorkFolder(pakico);
    // Folders of earlier drops: one of two days ago, one of an hour ago.
    const std::string old = drops + "\\DROP0000000A", recent = drops + "\\DROP0000000B";
    for (const std::string& folder : {old, recent})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteFileBytes(old + "\\read.lzh", LzhBytes());
    AgeFolder(old, 48);
    AgeFolder(recent, 1);
    ASSERT_TRUE(pakico.Start());
    EXPECT_FALSE(Exists(old)) << "a drop's folder of two days ago goes at the start";
    EXPECT_TRUE(Exists(recent)) << "the companion may still read a recent one";
    const std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    const std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo\r\n");

    // An archive offered as a stream and read after the drop, as a compressed folder offers its
    // files: extracted, and the source told the reading went well.
    const DragOutcome later =
        DragOnto(pakico, {"--virtual", "--stream", "--async"}, {"受信.lzh|" + archive});
    EXPECT_EQ(kEffectCopy, later.effect);
    EXPECT_EQ(1, later.asyncEnd) << "2: read inside the drop; 0, 3: not ended well";
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    const std::string first = DropFolderOf(runs[0], drops);
    ExpectHandOff(pakico, runs[0], "/QE \\", {first + "\\受信.lzh"});
    EXPECT_EQ(LzhBytes(), ReadFileBytes(first + "\\受信.lzh"));
    const FILETIME described = DescribedTime(), written = WriteTimeOf(first + "\\受信.lzh");
    EXPECT_EQ(0, CompareFileTime(&described, &written));

    // An archive and a text file in memory, read inside the drop, with Shift held: compressed
    // together, from a folder of their own.
    MorvaRun run =
        DropAndWait(pakico, {"--virtual", "--shift"}, {"受信.lzh|" + archive, "memo.txt|" + text});
    const std::string second = DropFolderOf(run, drops);
    EXPECT_NE(first, second);
    ExpectHandOff(pakico, run, "/QA \\", {second + "\\受信.lzh", second + "\\memo.txt"});
    EXPECT_EQ("memo\r\n", ReadFileBytes(second + "\\memo.txt"));

    // A folder of the source's, described in the code page only: the folder is handed over.
    run = DropAndWait(pakico, {"--virtual", "--ansi"}, {"写真/", "写真\\海.txt|" + text});
    const std::string third = DropFolderOf(run, drops);
    ExpectHandOff(pakico, run, "/QA \\", {third + "\\写真"});
    EXPECT_EQ("memo\r\n", ReadFileBytes(third + "\\写真\\海.txt"));

    // At the end, what the drops wrote more than a day ago goes, and nothing else: what the
    // companion extracted beside the archive stays. What it may still read stays too.
    ASSERT_TRUE(CreateDirectoryA((first + "\\受信").c_str(), nullptr));
    WriteFileBytes(first + "\\受信\\中身.txt", "extracted");
    AgeFolder(first, 25);
    AgeFolder(third, 25);
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kStartMs));
    EXPECT_FALSE(Exists(first + "\\受信.lzh"));
    EXPECT_EQ("extracted", ReadFileBytes(first + "\\受信\\中身.txt"));
    EXPECT_FALSE(Exists(third)) << "a folder holding only what its drop wrote goes whole";
    EXPECT_TRUE(Exists(second + "\\memo.txt"));
    EXPECT_TRUE(Exists(recent));
}

TEST_F(VirtualDrop, AHostileDescriptorWritesNothingOutsideItsFolder) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    const std::string drops = UseWorkFolder(pakico);
    ASSERT_TRUE(pakico.Start());
    const std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo\r\n");
    const std::vector<std::string> outside = {drops + "\\x.txt", drops + "\\..\\x.txt",
                                              pakico.Scratch() + "x.txt", "C:\\evil.txt"};

    // Names that climb, name a device or a drive, and one name given twice.
    MorvaRun run = DropAndWait(pakico, {"--virtual"},
                               {"..\\..\\x.txt|" + text, "CON|" + text, "C:\\evil.txt|" + text,
                                "memo.txt|" + text, "MEMO.TXT|" + text});
    const std::string folder = DropFolderOf(run, drops);
    ExpectHandOff(pakico, run, "/QA \\",
                  {folder + "\\x.txt", folder + "\\_CON", folder + "\\C_", folder + "\\memo.txt",
                   folder + "\\MEMO (2).TXT"});
    EXPECT_EQ((std::vector<std::string>{"evil.txt"}), Entries(folder + "\\C_"));
    for (const std::string& path : outside)
        EXPECT_FALSE(Exists(path)) << path;

    // More than ten thousand items, or an item whose contents cannot be had: nothing is handed
    // over, what was written goes again, and the cat says why once the drag is over.
    const std::vector<std::string> before = Entries(drops);
    EXPECT_EQ(kEffectNone, DragOnto(pakico, {"--virtual", "--items", "10001"}, {}).effect);
    std::string message = AnswerErrorBox(kSettleMs);
    EXPECT_NE(std::string::npos, message.find("10,001")) << message;
    DragOnto(pakico, {"--virtual", "--stream"},
             {"memo.txt|" + text, "消えた.txt|" + text + ".gone"});
    message = AnswerErrorBox(kSettleMs);
    EXPECT_NE(std::string::npos, message.find("消えた.txt")) << message;
    EXPECT_EQ(before, Entries(drops));
    EXPECT_EQ(1u, pakico.MorvaRuns());
}
