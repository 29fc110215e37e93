// The companion's work folder and the open dialog's start folder, read from the settings.
#include "handoff/WorkFolder.h"

#include "settings/SettingsStore.h"
#include "support/WinTestSupport.h"
#include "win/HandOffTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace testing_support;
using namespace handoff_test;

namespace {

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The temporary folder is pointed into the test's own folder, so nothing is made elsewhere.
class WorkFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsTree();
        ASSERT_TRUE(CreateDirectoryA(temp_.c_str(), nullptr));
        tempPath_ = std::make_unique<ScopedTempPath>(temp_);
    }
    void TearDown() override {
        tempPath_.reset();
        DeleteSettingsTree();
    }

    void SetWorkPath(const std::string& path) {
        WriteSettingString(settings::SectionSetting, "WorkPath", path);
    }

    TempFolder root_{"wfold"};
    std::string temp_ = root_.path() + "一時 tmp";
    std::unique_ptr<ScopedTempPath> tempPath_;
};

} // namespace

TEST_F(WorkFolder, WithoutWorkPathItIsMadeInTheTempFolder) {
    const std::string expected = temp_ + "\\~MORVA(";
    ASSERT_FALSE(IsFolder(expected));
    EXPECT_EQ(expected, GetWorkFolder());
    EXPECT_TRUE(IsFolder(expected));
    // A second call finds it there.
    EXPECT_EQ(expected, GetWorkFolder());
}

TEST_F(WorkFolder, WorkPathNamingNoFolderFallsBackToTheTempFolder) {
    SetWorkPath(root_.path() + "does not exist");
    EXPECT_EQ(temp_ + "\\~MORVA(", GetWorkFolder());

    WriteFileBytes(root_.path() + "a file", "x");
    SetWorkPath(root_.path() + "a file");
    EXPECT_EQ(temp_ + "\\~MORVA(", GetWorkFolder());
    EXPECT_FALSE(IsFolder(root_.path() + "does not exist"));
}

TEST_F(WorkFolder, ValidWorkPathHoldsIt) {
    const std::string base = root_.path() + "作業 表";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    SetWorkPath(base);
    EXPECT_EQ(base + "\\~MORVA(", GetWorkFolder());
    EXPECT_TRUE(IsFolder(base + "\\~MORVA("));
    EXPECT_FALSE(IsFolder(temp_ + "\\~MORVA("));

    // A separator already there is not doubled.
    SetWorkPath(base + "\\");
    EXPECT_EQ(base + "\\~MORVA(", GetWorkFolder());
}

TEST_F(WorkFolder, FileInTheWayRaisesTempError) {
    const std::string base = root_.path() + "work";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    WriteFileBytes(base + "\\~MORVA(", "not a folder");
    SetWorkPath(base);
    try {
        GetWorkFolder();
        ADD_FAILURE() << "no error raised";
    } catch (const ETempError& e) {
        EXPECT_STREQ(("作業フォルダが作成できません。フォルダ名 = " + base + "\\~MORVA(").c_str(),
                     e.what());
    }
    EXPECT_THROW(GetWorkFolder(), EAppError);
}

TEST_F(WorkFolder, OpenFolderFollowsOpenType) {
    const std::string section = settings::SectionCommon;
    EXPECT_EQ("", ReadRecentPath(section));
    EXPECT_EQ("", ResolveOpenFolder(section, 1));

    WriteSettingString(section, "RecentPath", "C:\\最近");
    WriteSettingString(section, "FixedPath", "D:\\固定");
    EXPECT_EQ("C:\\最近", ReadRecentPath(section));
    // Without "OpenType" the caller's default decides.
    EXPECT_EQ("C:\\最近", ResolveOpenFolder(section, 1));
    EXPECT_EQ("D:\\固定", ResolveOpenFolder(section, 2));
    EXPECT_EQ("", ResolveOpenFolder(section, 0));

    WriteSettingInteger(section, "OpenType", 2);
    EXPECT_EQ("D:\\固定", ResolveOpenFolder(section, 1));
    WriteSettingInteger(section, "OpenType", 1);
    EXPECT_EQ("C:\\最近", ResolveOpenFolder(section, 2));
    WriteSettingInteger(section, "OpenType", 3);
    EXPECT_EQ("", ResolveOpenFolder(section, 1));
}

TEST_F(WorkFolder, OpenFolderReadsTheNamedSection) {
    WriteSettingString("Archive\\Other", "FixedPath", "E:\\別");
    WriteSettingInteger("Archive\\Other", "OpenType", 2);
    WriteSettingString(settings::SectionCommon, "FixedPath", "D:\\固定");
    EXPECT_EQ("E:\\別", ResolveOpenFolder("Archive\\Other", 1));
    EXPECT_EQ("D:\\固定", ResolveOpenFolder(settings::SectionCommon, 2));
    EXPECT_EQ("", ReadRecentPath("Archive\\Other"));
}
