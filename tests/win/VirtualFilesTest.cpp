// Files a drag offers only from inside its source, written into a folder of the drop's own: the
// media a source hands contents in, contents that cannot be had whole, a full disk, a file
// already there, names the code page cannot write, and the read after the drop.
#include "shell/VirtualFiles.h"

#include "support/ShortNames.h"
#include "support/WinTestSupport.h"
#include "win/DropTestSupport.h"

using namespace drop_test;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using Outcome = VirtualFilesWritten::Outcome;

namespace {

vfiles::DescribedItem Item(std::u16string name, std::optional<std::uint64_t> size = {},
                           bool folder = false) {
    vfiles::DescribedItem item;
    item.name = std::move(name);
    item.size = size;
    item.folder = folder;
    return item;
}

FILETIME WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The stream "Contents" of a compound file.
std::string StorageContents(const std::string& path) {
    IStorage* storage = nullptr;
    IStream* stream = nullptr;
    std::string bytes(64, '\0');
    ULONG read = 0;
    if (SUCCEEDED(StgOpenStorage(WideText(path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                 nullptr, 0, &storage)) &&
        SUCCEEDED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                      &stream)))
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (stream)
        stream->Release();
    if (storage)
        storage->Release();
    return bytes.substr(0, read);
}

BOOL WINAPI DiskFull(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

class VirtualFilesTest : public DropTargetTest {
  protected:
    // A new folder for one drop.
    std::string DropFolder() {
        const std::string made = temp.path() + std::to_string(++drops);
        EXPECT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
        return made;
    }
    VirtualFilesWritten Write(TestDataObject& data, const std::vector<vfiles::DescribedItem>& items,
                              const std::string& folder) {
        return WriteVirtualFiles(&data, items, folder, stop);
    }
    testing_support::TempFolder temp{"virtual"};
    int drops = 0;
    std::atomic<bool> stop{false};
    const UINT contents = DropFormats().fileContents;
};

} // namespace

TEST_F(VirtualFilesTest, ContentsAreWrittenInEveryMediumWithTheirTimes) {
    const vfiles::FileTime time{0x7DB50500, 0x01C08D96}; // 2001-02-03 04:05:06 UTC
    std::vector<vfiles::DescribedItem> items{Item(u"a.txt", 5), Item(u"写真", {}, true),
                                             Item(u"写真\\b.txt")};
    items[0].written = items[1].written = time;
    for (const char* medium : {"memory", "stream", "storage"}) {
        TestDataObject data;
        data.OfferItems(contents, {{0, "hello"}, {2, "b\r\n"}});
        if (medium == std::string("stream"))
            data.UseStreams();
        if (medium == std::string("storage"))
            data.UseStorages();
        const std::string folder = DropFolder();
        const VirtualFilesWritten written = Write(data, items, folder);
        ASSERT_EQ(Outcome::Written, written.outcome) << medium;
        EXPECT_EQ((Names{folder + "\\a.txt", folder + "\\写真"}), written.paths) << medium;
        const bool storage = medium == std::string("storage");
        EXPECT_EQ("hello",
                  storage ? StorageContents(folder + "\\a.txt") : ReadFileBytes(folder + "\\a.txt"))
            << medium;
        EXPECT_EQ("b\r\n", storage ? StorageContents(folder + "\\写真\\b.txt")
                                   : ReadFileBytes(folder + "\\写真\\b.txt"))
            << medium;
        for (const char* timed : {"\\a.txt", "\\写真"}) {
            const FILETIME expected{time.low, time.high}, actual = WriteTimeOf(folder + timed);
            EXPECT_EQ(0, CompareFileTime(&expected, &actual)) << medium << timed;
        }
    }
}

// Contents that are not what the descriptor says, or cannot be had, stop the drop at their item
// and name it; a full disk stops it too.
TEST_F(VirtualFilesTest, ContentsThatCannotBeHadWholeStopTheDrop) {
    const struct {
        const char* what;
        std::optional<std::string> bytes;
        std::optional<std::uint64_t> size;
        bool stream;
        Outcome outcome;
    } rows[] = {
        {"a block larger than its contents", "hello world", 5, false, Outcome::Written},
        {"a block smaller than described", "hi", 5, false, Outcome::Unreadable},
        {"a stream shorter than described", "hi", 5, true, Outcome::Unreadable},
        {"a stream longer than described", "hello!", 5, true, Outcome::Unreadable},
        {"contents not to be had", std::nullopt, {}, false, Outcome::Unreadable},
    };
    for (const auto& row : rows) {
        TestDataObject data;
        std::map<LONG, std::string> items{{0, "first"}};
        if (row.bytes)
            items[1] = *row.bytes;
        data.OfferItems(contents, items);
        if (row.stream)
            data.UseStreams();
        const std::string folder = DropFolder();
        const VirtualFilesWritten written =
            Write(data, {Item(u"first.txt"), Item(u"受信.txt", row.size)}, folder);
        EXPECT_EQ(row.outcome, written.outcome) << row.what;
        if (row.outcome == Outcome::Written)
            EXPECT_EQ("hello", ReadFileBytes(folder + "\\受信.txt")) << row.what;
        else
            EXPECT_EQ("受信.txt", written.item) << row.what;
    }
    TestDataObject data;
    data.OfferItems(contents, {{0, "first"}});
    const VirtualFileWriteCall previous = ReplaceVirtualFileWriteCall(DiskFull);
    const VirtualFilesWritten written = Write(data, {Item(u"first.txt")}, DropFolder());
    ReplaceVirtualFileWriteCall(previous);
    EXPECT_EQ(Outcome::DiskFull, written.outcome);
}

// Names taken already, by a file that was there or by an item of the drop, give second names.
TEST_F(VirtualFilesTest, AFileAlreadyThereIsNeverWrittenThrough) {
    const std::string folder = DropFolder();
    WriteFileBytes(folder + "\\memo.txt", "old");
    TestDataObject data;
    data.OfferItems(contents, {{0, "a"}, {1, "b"}, {2, "c"}, {4, "d"}, {5, "e"}});
    const VirtualFilesWritten written =
        Write(data,
              {Item(u"memo.txt"), Item(u"MEMO.TXT"), Item(u"..\\memo.txt"), Item(u"dir", {}, true),
               Item(u"dir"), Item(u"dir\\x.txt")},
              folder);
    EXPECT_EQ((Names{folder + "\\memo (2).txt", folder + "\\MEMO (3).TXT",
                     folder + "\\memo (4).txt", folder + "\\dir", folder + "\\dir (2)"}),
              written.paths);
    EXPECT_EQ("old", ReadFileBytes(folder + "\\memo.txt"));
    EXPECT_EQ("c", ReadFileBytes(folder + "\\memo (4).txt"));
    EXPECT_EQ("e", ReadFileBytes(folder + "\\dir\\x.txt"));
}

// Written under its own name, handed over by its short form; on a volume without short names
// left out and named.
TEST_F(VirtualFilesTest, NamesTheCodePageCannotWriteGoByTheirShortForm) {
    TestDataObject data;
    data.OfferItems(contents, {{0, "korean"}});
    const std::vector<vfiles::DescribedItem> items{Item(u"\xD55C\xAD6D.txt")};
    const std::string folder = DropFolder();
    VirtualFilesWritten written = Write(data, items, folder);
    ASSERT_EQ(1u, written.paths.size());
    EXPECT_EQ("korean", ReadFileBytes(written.paths[0]));
    wchar_t longPath[MAX_PATH] = L"";
    GetLongPathNameW(WideText(written.paths[0]).c_str(), longPath, MAX_PATH);
    EXPECT_EQ(WideText(folder) + L"\\\xD55C\xAD6D.txt", longPath);

    testing_support::VolumeWithoutShortNames exFat;
    written = Write(data, items, DropFolder());
    EXPECT_EQ(Outcome::Written, written.outcome);
    EXPECT_EQ(Names{}, written.paths);
    EXPECT_EQ(Names{"??.txt"}, written.leftOut);
}

// A source that allows it is read on a thread of its own once the drop has returned (its calls
// come to this thread's apartment meanwhile), and told when the reading has ended; any other
// is read at once.
TEST_F(VirtualFilesTest, ASourceThatAllowsItIsReadAfterTheDrop) {
    TestDataObject later, now;
    later.ReadAfterDrop();
    for (TestDataObject* data : {&later, &now})
        data->OfferItems(contents, {{0, "contents"}});
    {
        const std::string folder = DropFolder();
        TVirtualFileDrop drop(&later, {Item(u"later.txt")}, folder);
        ASSERT_TRUE(drop.ReadAfterDrop(window, WM_APP));
        EXPECT_TRUE(later.started);
        ASSERT_TRUE(PumpUntil([&] { return drop.Done(); }, 10000));
        EXPECT_FALSE(later.ended);
        const VirtualFilesWritten written = drop.Finish();
        EXPECT_EQ(Names{folder + "\\later.txt"}, written.paths);
        EXPECT_TRUE(later.ended);
        EXPECT_EQ(S_OK, later.endResult);
        EXPECT_EQ(DWORD(DROPEFFECT_COPY), later.endEffect);

        TVirtualFileDrop inside(&now, {Item(u"now.txt")}, DropFolder());
        EXPECT_FALSE(inside.ReadAfterDrop(window, WM_APP));
        EXPECT_EQ(Outcome::Written, inside.ReadNow().outcome);
    }
    EXPECT_EQ(1, later.References());
    EXPECT_EQ(1, now.References());
}
