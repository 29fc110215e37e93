// Name, folder and write-access checks on real folders, with their messages answered.
#include "ui/PathChecks.h"

#include <gtest/gtest.h>

#include <string>

#include "support/WinTestSupport.h"
#include "win/MessageTestFixture.h"

using namespace testing_support;

namespace {

const std::string kMarkerAtC = std::string("C:\\") + kWriteMarkerName;

} // namespace

using PathCheck = MessageTest;

TEST_F(PathCheck, FileNamesWithCommaOrSemicolonRejected) {
    MessageBoxDriver driver;
    EXPECT_FALSE(IsValidFileName(nullptr, "a,b"));
    EXPECT_FALSE(IsValidFileName(nullptr, "a;b"));
    EXPECT_TRUE(IsValidFileName(nullptr, "表示.txt"));
    ASSERT_EQ(2u, driver.seen().size());
    EXPECT_EQ("ファイル：a,b\nファイル名には次の文字は使えません。\n\\ / : , ; * ? \" < > |",
              driver.seen()[0].text);
    EXPECT_EQ("ファイル：a;b\nファイル名には次の文字は使えません。\n\\ / : , ; * ? \" < > |",
              driver.seen()[1].text);
    EXPECT_EQ("エラー", driver.seen()[0].caption);
    EXPECT_EQ((std::vector<std::string>{"OK"}), driver.seen()[0].buttons);
    EXPECT_EQ(2, beeps());
}

TEST_F(PathCheck, ExistingFoldersPassQuietly) {
    TempFolder dir("vfp");
    MakeFolder(dir.path() + "sub");
    MessageBoxDriver driver;
    EXPECT_TRUE(ValidateFolderPath(nullptr, dir.path()));
    EXPECT_TRUE(ValidateFolderPath(nullptr, dir.path() + "sub\\"));
    EXPECT_TRUE(ValidateFolderPath(nullptr, "C:\\"));
    // Without a trailing separator the last piece is not looked at.
    EXPECT_TRUE(ValidateFolderPath(nullptr, dir.path() + "New"));
    EXPECT_TRUE(driver.seen().empty());
    EXPECT_EQ(0, beeps());
}

TEST_F(PathCheck, MissingComponentNamed) {
    TempFolder dir("vfp");
    MessageBoxDriver driver;
    EXPECT_FALSE(ValidateFolderPath(nullptr, dir.path() + "New\\"));
    EXPECT_FALSE(ValidateFolderPath(nullptr, dir.path() + "New\\Deeper\\"));
    ASSERT_EQ(2u, driver.seen().size());
    EXPECT_EQ("フォルダ [New] は存在しません。", driver.seen()[0].text);
    EXPECT_EQ("フォルダ [New] は存在しません。", driver.seen()[1].text);
    EXPECT_EQ("エラー", driver.seen()[0].caption);
    EXPECT_EQ(2, beeps());
}

TEST_F(PathCheck, OmittedFolderReported) {
    MessageBoxDriver driver;
    EXPECT_FALSE(ValidateFolderPath(nullptr, "C:\\\\Temp\\"));
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("フォルダ：C:\\\\Temp\\\n一部のフォルダが省略されています。(例えば\\\\等)",
              driver.seen()[0].text);
}

TEST_F(PathCheck, ShiftJisTrailByteIsNoSeparator) {
    TempFolder dir("vfp");
    // "表" is 95 5C and "ソ" 83 5C: each is one component.
    MakeFolder(dir.path() + "表");
    MakeFolder(dir.path() + "表\\ソフト");
    MessageBoxDriver driver;
    EXPECT_TRUE(ValidateFolderPath(nullptr, dir.path() + "表\\ソフト\\"));
    EXPECT_FALSE(ValidateFolderPath(nullptr, dir.path() + "表\\ソ\\"));
    EXPECT_FALSE(ValidateFolderPath(nullptr, dir.path() + "表\\a;b\\"));
    ASSERT_EQ(2u, driver.seen().size());
    EXPECT_EQ("フォルダ [ソ] は存在しません。", driver.seen()[0].text);
    EXPECT_EQ("ファイル：a;b\nファイル名には次の文字は使えません。\n\\ / : , ; * ? \" < > |",
              driver.seen()[1].text);
}

TEST_F(PathCheck, PathsLongerThanMaxPath) {
    TempFolder dir("vfp");
    const std::string longPiece(200, 'x');
    std::string path = dir.path() + longPiece + "\\" + longPiece + "\\" + longPiece + "\\";
    ASSERT_GT(path.size(), 600u);
    MessageBoxDriver driver;
    EXPECT_FALSE(ValidateFolderPath(nullptr, path));
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("フォルダ [" + longPiece + "] は存在しません。", driver.seen()[0].text);
}

TEST_F(PathCheck, MissingNetworkFolder) {
    MessageBoxDriver driver;
    EXPECT_FALSE(ValidateFolderPath(nullptr, "\\\\nosuchhost\\share\\"));
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("[\\\\nosuchhost\\share\\]\nネットワークフォルダが見つかりません。",
              driver.seen()[0].text);
}

TEST_F(PathCheck, WritableDriveLeavesNoMarker) {
    TempFolder dir("cfw");
    MessageBoxDriver driver;
    EXPECT_TRUE(CheckFolderWritable(nullptr, dir.path() + "deep\\missing"));
    EXPECT_TRUE(CheckFolderWritable(nullptr, "c:\\"));
    EXPECT_TRUE(driver.seen().empty());
    EXPECT_FALSE(FileExists(kMarkerAtC));
}

// The marker goes into the chosen folder itself; only for a folder that does not exist yet is
// the drive's root tried. A folder standing in the marker's place makes the marker fail there.
TEST_F(PathCheck, WriteCheckLooksAtTheFolderItself) {
    TempFolder dir("cfw");
    MakeFolder(dir.path() + "blocked");
    MakeFolder(dir.path() + "blocked\\" + kWriteMarkerName);
    MakeFolder(dir.path() + "free");
    {
        MessageBoxDriver driver({Answer::ClickButton(IDCANCEL)});
        EXPECT_FALSE(CheckFolderWritable(nullptr, dir.path() + "blocked"));
        EXPECT_EQ(1u, driver.seen().size()) << "the blocked folder itself was not tried";
    }
    MakeFolder(kMarkerAtC);
    {
        MessageBoxDriver driver({Answer::ClickButton(IDCANCEL)});
        EXPECT_TRUE(CheckFolderWritable(nullptr, dir.path() + "free"));
        EXPECT_TRUE(driver.seen().empty()) << "a writable folder was refused for its root";
        EXPECT_FALSE(CheckFolderWritable(nullptr, dir.path() + "missing"));
        EXPECT_EQ(1u, driver.seen().size());
    }
    RemoveDirectoryA(kMarkerAtC.c_str());
    EXPECT_FALSE(FileExists(dir.path() + "free\\" + kWriteMarkerName));
}

TEST_F(PathCheck, UnwritableDriveOffersRetryUntilCancel) {
    // Q: is no drive here, so the marker cannot be made at its root.
    ASSERT_EQ(0u, GetLogicalDrives() & (1u << ('Q' - 'A')));
    MessageBoxDriver driver({Answer::ClickButton(IDRETRY), Answer::ClickButton(IDRETRY),
                             Answer::ClickButton(IDCANCEL)});
    EXPECT_FALSE(CheckFolderWritable(nullptr, "Q:\\Data"));
    ASSERT_EQ(3u, driver.seen().size());
    const ShownMessage& m = driver.seen()[0];
    const std::string lead = "I/Oエラーが発生しました\r\n";
    const std::string codeLabel = "\r\nエラーコード=";
    ASSERT_EQ(0u, m.text.find(lead));
    const std::size_t at = m.text.rfind(codeLabel);
    ASSERT_NE(std::string::npos, at);
    const DWORD code = std::stoul(m.text.substr(at + codeLabel.size()));
    EXPECT_NE(0u, code);
    EXPECT_EQ(lead + SystemErrorText(code) + codeLabel + std::to_string(code), m.text);
    EXPECT_EQ((std::vector<std::string>{"キャンセル", "再試行(&R)"}), m.buttons);
    EXPECT_EQ(IDRETRY, m.defaultIdFromDialog);
    EXPECT_EQ(m.text, driver.seen()[2].text);
    // Each round beeps twice while "BeepSound" is absent.
    EXPECT_EQ(6, beeps());
}

TEST_F(PathCheck, NetworkFolderRefusingTheMarker) {
    MessageBoxDriver driver;
    EXPECT_FALSE(CheckFolderWritable(nullptr, "\\\\nosuchhost\\share\\dir"));
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("フォルダ：\\\\nosuchhost\\share\\\n"
              "このフォルダではネットワークアクセスは拒否されます。\n"
              "アクセス権があるかどうか確認してください。",
              driver.seen()[0].text);
    EXPECT_EQ((std::vector<std::string>{"OK"}), driver.seen()[0].buttons);
    EXPECT_EQ(1, beeps());
}
