// Number formats, folders and fonts as the Japanese-locale system gives them.
#include "util/SystemLookups.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/MessageBox.h"
#include "util/FileProbe.h"

TEST(SystemLookup, CountsInTheCurrencyFormatWithoutTheSign) {
    ASSERT_EQ(932u, GetACP());
    EXPECT_EQ("1,234", FormatCount(1234));
    EXPECT_EQ("0", FormatCount(0));
    EXPECT_EQ("2", FormatCount(2));
    EXPECT_EQ("1,234,567", FormatCount(1234567));
    EXPECT_EQ("12,345,678,901", FormatCount(12345678901LL));
}

TEST(SystemLookup, ByteSizesWithTheLocaleDecimalPoint) {
    EXPECT_EQ("1024.00 KB", FormatByteSize(1048576));
    EXPECT_EQ("1.00 MB", FormatByteSize(1049600));
    EXPECT_EQ("1.50 GB", FormatByteSize(1610612736.0));
    EXPECT_EQ("0.50 KB", FormatByteSize(512));
}

TEST(SystemLookup, ListFilesCountsTheRestWithTheLocale) {
    std::vector<std::string> paths(1240, "C:\\in\\a.lzh");
    std::string text;
    ListFilesMessage("", 10, text, false, paths);
    const std::string tail = " ... 他 1,230 件";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
}

TEST(SystemLookup, TempFolderWithoutSeparator) {
    std::string temp = GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_NE('\\', temp.back());
    EXPECT_TRUE(FolderExists(temp));
    char buffer[MAX_PATH * 2];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer, n), temp + "\\");
}

TEST(SystemLookup, SpecialFoldersFromShellFolders) {
    EXPECT_EQ("", GetSpecialFolder(sfNone));
    EXPECT_EQ("", SpecialFolderFile(sfNone, "Pakico.lnk"));
    const std::string startup = GetSpecialFolder(sfStartup);
    ASSERT_FALSE(startup.empty());
    EXPECT_EQ(startup + "\\Pakico.lnk", SpecialFolderFile(sfStartup, "Pakico.lnk"));
    EXPECT_EQ(startup + "\\Pakico.lnk", SpecialFolderFile(sfStartup, "C:\\other\\Pakico.lnk"));
    EXPECT_FALSE(GetSpecialFolder(sfDesktop).empty());
    EXPECT_NE(GetSpecialFolder(sfDesktop), startup);
}

// A missing or broken "Startup" value gives no folder, and so no file: not "\\Pakico.lnk" at
// the root of the current drive, which the end of the program would test for and delete.
TEST(SystemLookup, NoSpecialFolderGivesNoFile) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string startup = GetSpecialFolder(sfStartup);
    ASSERT_FALSE(startup.empty());
    HKEY folders = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WRITE, &folders));
    const DWORD number = 7;
    for (bool broken : {false, true}) {
        if (broken)
            RegSetValueExA(folders, "Startup", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number);
        else
            RegDeleteValueA(folders, "Startup");
        EXPECT_EQ("", GetSpecialFolder(sfStartup)) << broken;
        EXPECT_EQ("", SpecialFolderFile(sfStartup, "Pakico.lnk")) << broken;
    }
    RegSetValueExA(folders, "Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(startup.c_str()),
                   static_cast<DWORD>(startup.size() + 1));
    RegCloseKey(folders);
    EXPECT_EQ(startup, GetSpecialFolder(sfStartup));
}

TEST(SystemLookup, WorkAreaInsideTheScreen) {
    RECT area = GetWorkArea();
    EXPECT_GE(area.left, 0);
    EXPECT_GE(area.top, 0);
    EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(area.right - area.left, 0);
    EXPECT_GT(area.bottom - area.top, 0);
}

TEST(SystemLookup, IconFontFace) {
    LOGFONTA font = IconFont();
    EXPECT_NE('\0', font.lfFaceName[0]);
    // Only the face "MS UI Gothic" can count as it.
    if (std::string(font.lfFaceName) != "MS UI Gothic") {
        EXPECT_FALSE(IsIconFontUIGothic());
    }
}
