// Node records of the shell tree on the real shell: paths of special folders as the tree shows
// them, and the leak check at the end of a run.
#include "folders/FolderItemData.h"

#include <gtest/gtest.h>

using namespace folders;

namespace {

ScopedIdList SpecialFolder(int csidl) {
    ScopedIdList list;
    SHGetSpecialFolderLocation(nullptr, csidl, list.out());
    return list;
}

// The attributes of a child of the desktop.
ULONG DesktopItemAttributes(LPCITEMIDLIST item) {
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.outTyped());
    ULONG attributes = SFGAO_FILESYSTEM | SFGAO_FOLDER;
    if (!desktop || FAILED(desktop->GetAttributesOf(1, &item, &attributes)))
        return 0;
    return attributes;
}

int reportedLeaks = 0;

} // namespace

TEST(FolderItemData, SpecialFolderPathsAsTheTreeShowsThem) {
    TShellSession session;
    // The shell gives the documents folder with a trailing separator here; the tree drops it.
    ScopedIdList documents = SpecialFolder(CSIDL_PERSONAL);
    ASSERT_TRUE(documents);
    const std::string path = PathOfIdList(documents.get(), SFGAO_FILESYSTEM);
    ASSERT_FALSE(path.empty());
    EXPECT_NE('\\', path.back()) << path;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    // The network folder answers with a "::{...}" parsing name (here even with the file-system
    // bit set): no path.
    ScopedIdList network = SpecialFolder(CSIDL_NETWORK);
    if (network) {
        char raw[MAX_PATH] = "";
        SHGetPathFromIDListA(network.get(), raw);
        EXPECT_EQ("", PathOfIdList(network.get(), DesktopItemAttributes(network.get()))) << raw;
    }
    EXPECT_EQ("", PathOfIdList(documents.get(), 0)) << "no file-system bit, no path";
    // Joined and cut lists keep their items.
    ScopedIdList joined = ScopedIdList::Join(documents.get(), nullptr);
    EXPECT_EQ(path, PathOfIdList(joined.get(), SFGAO_FILESYSTEM));
}

TEST(FolderItemData, LeakCheckReportsWithoutRaising) {
    auto previous = TShellSession::SetLeakReporter([](int live) { reportedLeaks = live; });
    reportedLeaks = 0;
    const int before = LiveFolderDataCount();
    ASSERT_EQ(0, before);
    {
        TFolderItemData record({}, SpecialFolder(CSIDL_DESKTOP), SpecialFolder(CSIDL_DESKTOP), 0);
        EXPECT_EQ(1, LiveFolderDataCount());
        // A session ending now finds the record: it reports, and raises nothing.
        EXPECT_NO_THROW({ TShellSession session; });
        EXPECT_EQ(1, reportedLeaks);
    }
    reportedLeaks = 0;
    EXPECT_EQ(0, TShellSession::CheckLeaks());
    EXPECT_EQ(0, reportedLeaks);
    TShellSession::SetLeakReporter(previous);
}
