// The open dialog's places from the shared settings under Wine: the four usual ones, stored
// ones, broken counts, and where each kind of place leads.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "opendlg/CabinetItems.h"
#include "settings/SettingsTable.h"
#include "util/SystemLookups.h"

namespace {

const std::string kCabinet = std::string(settings::ProductKey) + "\\Dialog\\Cabinet";

void Put(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kCabinet.c_str(), &key));
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
void PutText(const std::string& name, const std::string& text) {
    Put(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
void PutNumber(const std::string& name, DWORD value) {
    Put(name, REG_DWORD, &value, sizeof value);
}

class CabinetItemsTest : public ::testing::Test {
  protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey); }
};

std::vector<std::string> Captions(const TCabinetItems& items) {
    std::vector<std::string> captions;
    for (const TCabinetItem& item : items)
        captions.push_back(item.Caption);
    return captions;
}

} // namespace

TEST_F(CabinetItemsTest, WithoutStoredPlacesTheUsualFour) {
    std::vector<std::string> expected = {"デスクトップ", "マイコンピュータ"};
    if (HasNetworkNeighbourhood())
        expected.push_back("ネットワーク");
    expected.push_back("マイドキュメント");
    for (int stored : {-1, 0}) {
        if (stored == 0)
            PutNumber("Count", 0);
        TCabinetItems items = {{"old", TRootFolder::rfCurrent, "x", 3}};
        EXPECT_EQ(static_cast<int>(expected.size()), LoadPlaces(items));
        EXPECT_EQ(expected, Captions(items));
        EXPECT_EQ(TRootFolder::rfDesktop, items.front().RootFolder);
        EXPECT_EQ(TRootFolder::rfMyDocument, items.back().RootFolder);
        for (const TCabinetItem& item : items) {
            EXPECT_EQ("", item.FolderPath);
            EXPECT_EQ(0, item.ImageIndex);
        }
    }
}

TEST_F(CabinetItemsTest, StoredPlacesAndBrokenCounts) {
    PutText("Caption0", "作業");
    PutNumber("RootFolder0", 2);
    PutText("FolderPath0", "work");
    PutText("Caption1", "二番");
    // The second place lacks its root and path; a root out of range is the current folder.
    PutText("Caption2", "三番");
    PutNumber("RootFolder2", 99);
    struct Case {
        const char* how;
        DWORD type;
        std::string data;
        std::vector<std::string> captions;
    } cases[] = {
        {"two", REG_DWORD, std::string("\x02\0\0\0", 4), {"作業", "二番"}},
        {"text", REG_SZ, std::string("3\0", 2), {"作業", "二番", "三番"}},
        {"huge", REG_DWORD, std::string("\xFF\xFF\xFF\x7F", 4), {"作業", "二番", "三番"}},
        {"negative", REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4), {"作業", "二番", "三番"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Put("Count", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        TCabinetItems items;
        EXPECT_EQ(static_cast<int>(c.captions.size()), LoadPlaces(items));
        EXPECT_EQ(c.captions, Captions(items));
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ(TRootFolder::rfApplication, items[0].RootFolder);
        EXPECT_EQ("work", items[0].FolderPath);
        EXPECT_EQ(TRootFolder::rfCurrent, items[1].RootFolder);
        EXPECT_EQ("", items[1].FolderPath);
        if (items.size() > 2) {
            EXPECT_EQ(TRootFolder::rfCurrent, items[2].RootFolder);
        }
    }
}

TEST_F(CabinetItemsTest, WhereEachPlaceLeads) {
    struct Case {
        TRootFolder root;
        const char* folderPath;
        std::string path;
    } cases[] = {
        {TRootFolder::rfCurrent, "C:\\Data", "C:\\Data"},
        {TRootFolder::rfInitialDir, "sub", "C:\\Start\\sub"},
        {TRootFolder::rfApplication, "lib", ExecutableFolder() + "lib"},
        {TRootFolder::rfMyComputer, "", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
        {TRootFolder::rfMyComputer, "C:", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\C:"},
        {TRootFolder::rfNetwork, "", "::{208D2C60-3AEA-1069-A2D7-08002B30309D}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.path, PlacePath({"", c.root, c.folderPath, 0}, "C:\\Start\\")) << c.path;
    EXPECT_TRUE(IsShellPath(PlacePath({"", TRootFolder::rfNetwork, "", 0}, "")));
    std::string desktop = PlacePath({"", TRootFolder::rfDesktop, "", 0}, "");
    EXPECT_FALSE(desktop.empty());
    EXPECT_FALSE(IsShellPath(desktop));
    EXPECT_EQ(desktop + "\\sub", PlacePath({"", TRootFolder::rfDesktop, "sub", 0}, ""));
}
