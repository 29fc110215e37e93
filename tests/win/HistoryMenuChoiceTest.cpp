// The history menu's entries chosen, its clear item, its on/off life cycle and what a rebuild
// leaves behind, under Wine against the real registry and file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HistoryTestSupport.h"
#include "UiTestSupport.h"
#include "history/HistoryMenu.h"
#include "support/WinTestSupport.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"

using namespace history_test;
using namespace ui_test;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

using HistoryMenuChoiceTest = HistoryMenuFixture;

namespace {
struct Selection {
    std::string sender;
    bool isPath = false;
    std::string fileName;
    // What the list held when the handler ran.
    std::vector<std::string> filesSeen;
};

// The item the real menu shows at `position` of the target's submenu (and below).
ui::MenuItem* Chosen(ui::BuiltMenu& built, std::initializer_list<int> positions) {
    HMENU menu = GetSubMenu(built.Handle(), 0);
    UINT id = 0;
    for (int position : positions) {
        id = GetMenuItemID(menu, position);
        if (id == static_cast<UINT>(-1))
            menu = GetSubMenu(menu, position);
    }
    return built.ItemFromCommand(id);
}
} // namespace

TEST_F(HistoryMenuChoiceTest, DeletedFileIsReportedThenRemoved) {
    TempFolder dir("hism");
    std::string kept = dir.path() + "kept.lzh";
    std::string gone = dir.path() + "gone.lzh";
    WriteFileBytes(kept, "x");
    auto menu = NewMenu();
    menu->AddFile(gone);
    menu->AddFile(kept);
    std::vector<Selection> seen;
    menu->OnHistorySelected = [&](THistoryMenu& sender, bool isPath, const std::string& name,
                                  bool&) {
        seen.push_back({sender.Name, isPath, name, files.Entries()});
    };
    menu->BuildMenu();
    {
        ui::BuiltMenu built(root, nullptr);
        Chosen(built, {1})->Click();
    }
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("HisArchReOpen1", seen[0].sender);
    EXPECT_FALSE(seen[0].isPath);
    EXPECT_EQ(gone, seen[0].fileName);
    EXPECT_EQ((std::vector<std::string>{kept, gone}), seen[0].filesSeen);
    EXPECT_EQ(std::vector<std::string>{kept}, files.Entries());

    // An existing file chosen moves to the front (it is there already).
    menu->AddFile(dir.path() + "third.lzh");
    menu->BuildMenu();
    {
        ui::BuiltMenu built(root, nullptr);
        Chosen(built, {1})->Click();
    }
    EXPECT_EQ(kept, files[0]);
}

TEST_F(HistoryMenuChoiceTest, HoldAutoFalseLeavesTheListAlone) {
    auto menu = NewMenu();
    menu->AddFile("C:\\gone\\a.lzh");
    menu->OnHistorySelected = [](THistoryMenu&, bool, const std::string&, bool& holdAuto) {
        holdAuto = false;
    };
    menu->BuildMenu();
    target.Item(0).Click();
    EXPECT_EQ(std::vector<std::string>{"C:\\gone\\a.lzh"}, files.Entries());
}

TEST_F(HistoryMenuChoiceTest, NoHandlerNoBookkeeping) {
    auto menu = NewMenu();
    menu->AddFile("C:\\gone\\a.lzh");
    menu->BuildMenu();
    target.Item(0).Click();
    EXPECT_EQ(1, files.Count());
}

TEST_F(HistoryMenuChoiceTest, ExcludedFolderIsNotMovedButTheMenuIsRebuilt) {
    TempFolder dir("hisx");
    std::string work = dir.path() + "~MORVA(";
    CreateDirectoryA(work.c_str(), nullptr);
    std::string other = dir.path() + "other";
    CreateDirectoryA(other.c_str(), nullptr);
    PutList(kFileKey, {"C:\\a.lzh"}, 1);
    PutList(kPathKey, {other, work}, 2);
    auto menu = NewMenu();
    menu->ExcludePath = dir.path() + "~morva(";
    menu->LoadHistory();
    std::vector<Selection> seen;
    menu->OnHistorySelected = [&](THistoryMenu&, bool isPath, const std::string& name, bool&) {
        seen.push_back({"", isPath, name, {}});
    };
    menu->BuildMenu();
    int rebuilt = 0;
    target.Item(0).AddDestroyListener(&rebuilt, [&] { ++rebuilt; });
    {
        ui::BuiltMenu built(root, nullptr);
        Chosen(built, {2, 1})->Click();
    }
    ASSERT_EQ(1u, seen.size());
    EXPECT_TRUE(seen[0].isPath);
    EXPECT_EQ(work, seen[0].fileName);
    EXPECT_EQ((std::vector<std::string>{other, work}), folders.Entries());
    EXPECT_EQ(1, rebuilt);

    // Choosing a folder that is not excluded moves it to the front and rebuilds as well.
    menu->AddPath("C:\\");
    EXPECT_EQ("C:\\", folders[0]);
    menu->BuildMenu();
    {
        ui::BuiltMenu built(root, nullptr);
        Chosen(built, {2, 1})->Click();
    }
    EXPECT_EQ(other, folders[0]);
    EXPECT_EQ("&0 " + other, target.Item(2).Item(0).Caption);
}

TEST_F(HistoryMenuChoiceTest, VanishedFolderIsRemovedFromTheFolderList) {
    auto menu = NewMenu();
    menu->AddFile("Q:\\gone\\a.lzh");
    menu->OnHistorySelected = [](THistoryMenu&, bool, const std::string&, bool&) {};
    menu->BuildMenu();
    target.Item(2).Item(0).Click();
    EXPECT_EQ(0, folders.Count());
    EXPECT_EQ(1, files.Count());
}

TEST_F(HistoryMenuChoiceTest, AddFileSkipsTheWorkFolderIgnoringAsciiCase) {
    auto menu = NewMenu();
    menu->ExcludePath = "C:\\Temp\\~MORVA(";
    menu->AddFile("c:\\temp\\~morva(\\x.lzh");
    menu->AddFile("");
    EXPECT_EQ(0, files.Count());
    EXPECT_EQ(0, folders.Count());
    menu->AddFile("C:\\Temp\\a.lzh");
    EXPECT_EQ(std::vector<std::string>{"C:\\Temp\\a.lzh"}, files.Entries());
    EXPECT_EQ(std::vector<std::string>{"C:\\Temp"}, folders.Entries());
}

TEST_F(HistoryMenuChoiceTest, FolderOnlyMenuKeepsOneList) {
    TempFolder dir("hisp");
    std::string there = dir.path().substr(0, dir.path().size() - 1);
    PutList(settings::HistoryWatchPathKey, {"Q:\\gone", there}, 2);
    PutList(std::string(settings::HistoryWatchPathKey) + "\\Path", {"C:\\never"}, 1);
    THistoryList watched = MakeHistoryList();
    THistoryMenu menu;
    menu.AttachLists(&watched, nullptr);
    ASSERT_NE(nullptr, menu.HistoryPath());
    menu.PathItem = TPathItem::paPathOnly;
    menu.KeyName = settings::HistoryWatchPathKey;
    menu.SetTargetMenuItem(&target);
    std::vector<Selection> seen;
    menu.OnHistorySelected = [&](THistoryMenu&, bool isPath, const std::string& name, bool&) {
        seen.push_back({"", isPath, name, {}});
    };
    menu.SetActive(true);
    EXPECT_EQ(0, menu.HistoryPath()->Count());
    ASSERT_EQ(4, target.Count()); // two folders, separator, clear item
    target.Item(1).Click();
    EXPECT_EQ(there, watched[0]);
    menu.BuildMenu();
    target.Item(1).Click();
    ASSERT_EQ(2u, seen.size());
    EXPECT_TRUE(seen[1].isPath);
    EXPECT_EQ("Q:\\gone", seen[1].fileName);
    EXPECT_EQ(std::vector<std::string>{there}, watched.Entries());
}

TEST_F(HistoryMenuChoiceTest, ClearItemAsksThenEmptiesTheFileListOnly) {
    PutList(kFileKey, {"C:\\a.lzh", "C:\\b.lzh", "C:\\c.lzh"}, 3);
    PutList(kPathKey, {"C:\\"}, 1);
    auto menu = NewMenu();
    menu->LoadHistory();
    bool answer = false;
    int asked = 0;
    menu->OnCanDeleted = [&](THistoryMenu&, bool& canDelete) {
        ++asked;
        canDelete = answer;
    };
    menu->BuildMenu();
    ui::MenuItem& clear = target.Item(target.Count() - 1);
    clear.Click();
    EXPECT_EQ(1, asked);
    EXPECT_EQ(3, files.Count());
    answer = true;
    clear.Click();
    EXPECT_EQ(0, files.Count());
    EXPECT_EQ(1, folders.Count());
    EXPECT_EQ(std::vector<std::string>{}, GetList(kFileKey));
    EXPECT_TRUE(HasValue(kFileKey, "2")); // beyond the count, left in place
    EXPECT_EQ(std::vector<std::string>{"C:\\"}, GetList(kPathKey));
}

TEST_F(HistoryMenuChoiceTest, ActiveLoadsBuildsAndSavesOnDestruction) {
    PutList(kFileKey, {"C:\\a.lzh"}, 1);
    {
        THistoryMenu noTarget;
        noTarget.AttachLists(&files, &folders);
        noTarget.KeyName = kFileKey;
        noTarget.SetActive(true);
        EXPECT_FALSE(noTarget.Active());
        EXPECT_EQ(1, files.Count());
    }
    auto menu = NewMenu();
    menu->SetActive(true);
    EXPECT_TRUE(menu->Active());
    EXPECT_EQ(3, target.Count());
    menu->AddFile("D:\\x\\b.lzh");
    menu->SetActive(false);
    EXPECT_EQ(0, target.Count());
    EXPECT_EQ((std::vector<std::string>{"D:\\x\\b.lzh", "C:\\a.lzh"}), GetList(kFileKey));

    menu->SetActive(true);
    menu->AddFile("E:\\c.lzh");
    menu.reset();
    EXPECT_EQ("E:\\c.lzh", GetList(kFileKey).at(0));
    EXPECT_EQ("E:\\", GetList(kPathKey).at(0));
    EXPECT_EQ(0, target.Count());
    // The lists were given from outside: they outlive the menu.
    EXPECT_EQ(3, files.Count());
}

TEST_F(HistoryMenuChoiceTest, FreedTargetIsForgotten) {
    auto menu = NewMenu();
    menu->AddFile("C:\\a.lzh");
    root.Clear();
    EXPECT_EQ(nullptr, menu->TargetMenuItem());
    menu->BuildMenu();
    menu->SetActive(true);
    EXPECT_FALSE(menu->Active());
}

TEST_F(HistoryMenuChoiceTest, FiveHundredRebuildsLeaveNoMenuOrGdiObjectBehind) {
    HostWindow host;
    ui::ImageList images = ui::ImageList(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 12, 0));
    for (int i = 0; i < 12; ++i)
        images.AddIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    auto menu = NewMenu();
    for (int i = 0; i < 12; ++i)
        menu->AddFile("C:\\dir" + std::to_string(i % 4) + "\\f" + std::to_string(i) + ".lzh");
    Canvas canvas(16, 16, RGB(255, 255, 255));
    std::vector<HMENU> made;
    // One round first, so that lazily made objects of the platform exist before counting.
    auto round = [&](bool keep) {
        menu->BuildMenu();
        ui::BuiltMenu built(root, &images);
        HMENU sub = GetSubMenu(built.Handle(), 0);
        for (int position : {11, 13}) {
            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_MENU;
            draw.hDC = canvas.dc();
            draw.rcItem = {0, 0, 16, 16};
            draw.itemData = MenuInfo(sub, position).dwItemData;
            SendMessageA(host.Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        }
        if (keep)
            CollectMenus(built.Handle(), made);
    };
    round(false);
    auto before = GdiCensus::Take();
    for (int i = 0; i < 500; ++i)
        round(true);
    auto after = GdiCensus::Take();
    EXPECT_EQ(before, after);
    ASSERT_EQ(500u * 3, made.size());
    int alive = 0;
    for (HMENU m : made)
        alive += IsMenu(m) ? 1 : 0;
    EXPECT_EQ(0, alive);
}
