// The history menu against the real registry: loading, saving, the submenu read back from the
// real menu, choosing entries, clearing, and the on/off life cycle.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HistoryTestSupport.h"
#include "UiTestSupport.h"
#include "history/HistoryMenu.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"
#include "util/Errors.h"

using namespace history_test;
using namespace ui_test;

using HistoryMenuTest = HistoryMenuFixture;

TEST_F(HistoryMenuTest, SavedListsLoadAgain) {
    auto menu = NewMenu();
    menu->AddFile("C:\\Arc\\a.lzh");
    menu->AddFile("C:\\b.zip");
    menu->AddFile("D:\\Other\\c.cab");
    menu->SaveHistory();
    EXPECT_EQ((std::vector<std::string>{"D:\\Other\\c.cab", "C:\\b.zip", "C:\\Arc\\a.lzh"}),
              GetList(kFileKey));
    EXPECT_EQ((std::vector<std::string>{"D:\\Other", "C:\\", "C:\\Arc"}), GetList(kPathKey));

    THistoryList otherFiles = MakeHistoryList(), otherFolders = MakeHistoryList();
    THistoryMenu again;
    again.AttachLists(&otherFiles, &otherFolders);
    again.KeyName = kFileKey;
    again.LoadHistory();
    EXPECT_EQ(files.Entries(), otherFiles.Entries());
    EXPECT_EQ(folders.Entries(), otherFolders.Entries());
}

TEST_F(HistoryMenuTest, StoredCount40LoadsTheNewest32) {
    PutList(kFileKey, Paths("C:\\f%d.lzh", 0, 39), 40);
    auto menu = NewMenu();
    menu->LoadHistory();
    EXPECT_EQ(Paths("C:\\f%d.lzh", 0, 31), files.Entries());
}

TEST_F(HistoryMenuTest, StoredSpellingsMergeAtTheNewerPosition) {
    PutList(
        kFileKey,
        {"C:\\0.lzh", "C:\\1.lzh", "c:\\a.lzh", "C:\\3.lzh", "C:\\4.lzh", "C:\\A.LZH", "C:\\6.lzh"},
        7);
    auto menu = NewMenu();
    menu->LoadHistory();
    ASSERT_EQ(6, files.Count());
    EXPECT_EQ("C:\\A.LZH", files[2]);
    EXPECT_EQ("C:\\3.lzh", files[3]);
}

TEST_F(HistoryMenuTest, MissingValueLoadsAsAnEmptyEntryAndWrongTypeRaises) {
    PutList(kFileKey, {"C:\\0.lzh"}, 2);
    auto menu = NewMenu();
    menu->LoadHistory();
    EXPECT_EQ((std::vector<std::string>{"C:\\0.lzh", ""}), files.Entries());

    HKEY h = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kFileKey.c_str(), 0, KEY_ALL_ACCESS, &h);
    RegSetValueExA(h, "Count", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2);
    RegCloseKey(h);
    try {
        menu->LoadHistory();
        ADD_FAILURE() << "no ERegistryError";
    } catch (const ERegistryError& e) {
        EXPECT_STREQ("'Count' のデータ型が不正です", e.what());
    }
}

// A broken Count loads what a complete read would: the entries there are and one empty entry
// for all the missing ones; it does not read two thousand million missing values first.
TEST_F(HistoryMenuTest, AHugeCountLoadsTheEntriesThereAre) {
    PutList(kFileKey, {"C:\\0.lzh", "C:\\1.lzh", "C:\\2.lzh"}, 0x7FFFFFFF);
    auto menu = NewMenu();
    menu->LoadHistory();
    EXPECT_EQ((std::vector<std::string>{"C:\\0.lzh", "C:\\1.lzh", "C:\\2.lzh", ""}),
              files.Entries());
}

TEST_F(HistoryMenuTest, MissingKeyLeavesTheListsEmpty) {
    files.Add("C:\\stale.lzh");
    auto menu = NewMenu();
    menu->LoadHistory();
    EXPECT_EQ(0, files.Count());
    EXPECT_EQ(0, folders.Count());
}

TEST_F(HistoryMenuTest, SubmenuReadBackFromTheRealMenu) {
    auto menu = NewMenu();
    menu->AddFile("C:\\Arc\\a.lzh");
    menu->AddFile("C:\\Arc\\b.lzh");
    menu->AddFile("D:\\c.zip");
    menu->BuildMenu();
    ui::ImageList images = ui::ImageList(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 12, 0));
    for (int i = 0; i < 12; ++i)
        images.AddIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    ui::BuiltMenu built(root, &images);

    ASSERT_FALSE(IsDisabledAt(built.Handle(), 0));
    HMENU sub = GetSubMenu(built.Handle(), 0);
    ASSERT_NE(nullptr, sub);
    ASSERT_EQ(7, GetMenuItemCount(sub));
    EXPECT_EQ("&0 D:\\c.zip", MenuText(sub, 0));
    EXPECT_EQ("&1 C:\\Arc\\b.lzh", MenuText(sub, 1));
    EXPECT_EQ("&2 C:\\Arc\\a.lzh", MenuText(sub, 2));
    EXPECT_TRUE(IsSeparatorAt(sub, 3));
    EXPECT_EQ("   フォルダで開く(&P)", MenuText(sub, 4));
    EXPECT_EQ(HBMMENU_CALLBACK, MenuInfo(sub, 4).hbmpItem);
    EXPECT_TRUE(IsSeparatorAt(sub, 5));
    EXPECT_EQ("&D 履歴を削除", MenuText(sub, 6));
    EXPECT_EQ(HBMMENU_CALLBACK, MenuInfo(sub, 6).hbmpItem);

    HMENU folderMenu = GetSubMenu(sub, 4);
    ASSERT_NE(nullptr, folderMenu);
    ASSERT_EQ(2, GetMenuItemCount(folderMenu));
    EXPECT_EQ("&0 D:\\", MenuText(folderMenu, 0));
    EXPECT_EQ("&1 C:\\Arc", MenuText(folderMenu, 1));
    EXPECT_EQ(101, built.ItemFromCommand(GetMenuItemID(folderMenu, 1))->Tag);
    EXPECT_EQ(2, built.ItemFromCommand(GetMenuItemID(sub, 2))->Tag);
    EXPECT_EQ(11, target.Item(4).ImageIndex);
    EXPECT_EQ(5, target.Item(6).ImageIndex);
}

TEST_F(HistoryMenuTest, ElevenEntriesLineUpTheirNumbers) {
    PutList(kFileKey, Paths("C:\\f%d.lzh", 0, 10), 11);
    auto menu = NewMenu(TPathItem::paFileOnly);
    menu->SetHistoryNum(20);
    menu->LoadHistory();
    menu->BuildMenu();
    ui::BuiltMenu built(root, nullptr);
    HMENU sub = GetSubMenu(built.Handle(), 0);
    ASSERT_EQ(13, GetMenuItemCount(sub));
    EXPECT_EQ(" &0 C:\\f0.lzh", MenuText(sub, 0));
    EXPECT_EQ("&10 C:\\f10.lzh", MenuText(sub, 10));
    EXPECT_EQ(" &D 履歴を削除", MenuText(sub, 12));
}

TEST_F(HistoryMenuTest, NothingToShowDisablesTheTarget) {
    auto menu = NewMenu();
    menu->BuildMenu();
    {
        ui::BuiltMenu built(root, nullptr);
        EXPECT_TRUE(IsDisabledAt(built.Handle(), 0));
        EXPECT_EQ(nullptr, GetSubMenu(built.Handle(), 0));
    }
    menu->AddFile("C:\\a.lzh");
    menu->SetHistoryNum(0);
    EXPECT_EQ(0, menu->HistoryNum());
    menu->BuildMenu();
    ui::BuiltMenu built(root, nullptr);
    EXPECT_TRUE(IsDisabledAt(built.Handle(), 0));
    EXPECT_EQ(nullptr, GetSubMenu(built.Handle(), 0));
}

TEST_F(HistoryMenuTest, HistoryNum50ShowsAtMost32) {
    THistoryMenu unattached;
    unattached.SetHistoryNum(3); // ignored until lists are attached
    EXPECT_EQ(8, unattached.HistoryNum());

    PutList(kFileKey, Paths("C:\\f%d.lzh", 0, 39), 40);
    PutList(kPathKey, Paths("C:\\d%d", 0, 39), 40);
    auto menu = NewMenu();
    menu->SetHistoryNum(50);
    EXPECT_EQ(32, menu->HistoryNum());
    menu->LoadHistory();
    menu->BuildMenu();
    ui::BuiltMenu built(root, nullptr);
    HMENU sub = GetSubMenu(built.Handle(), 0);
    ASSERT_EQ(32 + 4, GetMenuItemCount(sub));
    EXPECT_EQ(" &0 C:\\f0.lzh", MenuText(sub, 0));
    EXPECT_EQ("&31 C:\\f31.lzh", MenuText(sub, 31));
    EXPECT_EQ(32, GetMenuItemCount(GetSubMenu(sub, 33)));
}
