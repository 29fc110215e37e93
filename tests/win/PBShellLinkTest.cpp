// The shortcut writer: where the file goes, what it holds, overwriting, and the refusals.
#include "shell/PBShellLink.h"
#include "support/ShellFiles.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class PBShellLinkTest : public ::testing::Test {
  protected:
    TempFolder startup_{"startup"};
    ShellFolderOverride startupValue_{"Startup", RemoveSlash(startup_.path())};

    static std::string RemoveSlash(const std::string& path) {
        return path.substr(0, path.size() - 1);
    }
};

std::string ErrorOf(const TPBShellLink& link) {
    try {
        link.Save();
    } catch (const EPBShellLink& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST_F(PBShellLinkTest, WritesAndOverwritesTheShortcutInTheStartupFolder) {
    TPBShellLink link;
    EXPECT_EQ(sfNone, link.ShellFolder());
    link.SetShellFolder(sfStartup);
    link.SetFileName("Pakico");
    const std::string file = startup_.path() + "Pakico.lnk";
    EXPECT_EQ(file, link.FileName());
    link.Target = ProgramFolder() + "Pakico.exe";
    link.WorkingDir = ProgramFolder().substr(0, ProgramFolder().size() - 1);
    link.SetWindowState(shelllink::TWindowState::wsMinimized);
    link.SetHotKey(shortcut::scCtrl | shortcut::scAlt | 'P');
    ASSERT_NO_THROW(link.Save());

    ShortcutFile written = ReadShortcut(file);
    ASSERT_TRUE(written.valid);
    EXPECT_EQ(7u, written.showCommand);
    EXPECT_EQ(0x0650, written.hotKey);
    EXPECT_EQ(link.Target, written.target);
    EXPECT_EQ(link.WorkingDir, written.workingDir);
    EXPECT_EQ("", written.arguments);

    // Saved again with other values: the same file, overwritten.
    link.SetWindowState(shelllink::TWindowState::wsNormal);
    link.SetHotKey(0);
    link.Arguments = "/x";
    ASSERT_NO_THROW(link.Save());
    written = ReadShortcut(file);
    ASSERT_TRUE(written.valid);
    EXPECT_EQ(1u, written.showCommand);
    EXPECT_EQ(0, written.hotKey);
    EXPECT_EQ("/x", written.arguments);

    // Another folder moves the same name there.
    link.SetShellFolder(sfDesktop);
    EXPECT_EQ(GetSpecialFolder(sfDesktop) + "\\Pakico.lnk", link.FileName());
    EXPECT_NE(file, link.FileName());
}

// Without a Startup value the name would be "\Pakico.lnk" at the root of the current drive;
// too long a text would be cut to another target. Both are refused and nothing is written.
TEST_F(PBShellLinkTest, RefusesWhatWouldLandElsewhereOrBeCut) {
    {
        ShellFolderOverride noStartup("Startup", "");
        TPBShellLink link;
        link.SetShellFolder(sfStartup);
        link.SetFileName("Pakico.lnk");
        EXPECT_EQ("\\Pakico.lnk", link.FileName());
        link.Target = ProgramFolder() + "Pakico.exe";
        EXPECT_EQ("ShellLink Write Error.", ErrorOf(link));
        EXPECT_FALSE(FileExists("\\Pakico.lnk"));
    }
    TPBShellLink link;
    link.SetShellFolder(sfStartup);
    link.SetFileName("Long.lnk");
    link.Target = "C:\\" + std::string(300, 'a') + "\\Pakico.exe";
    EXPECT_EQ("ShellLink Write Error.", ErrorOf(link));
    link.Target = "C:\\Pakico.exe";
    link.Description = std::string(256, 'd');
    EXPECT_EQ("ShellLink Write Error.", ErrorOf(link));
    EXPECT_FALSE(FileExists(startup_.path() + "Long.lnk"));
    link.Description = std::string(255, 'd');
    EXPECT_EQ("", ErrorOf(link));
    EXPECT_TRUE(FileExists(startup_.path() + "Long.lnk"));

    // A folder that does not exist cannot take the file.
    TPBShellLink missing;
    missing.SetFileName(startup_.path() + "no such folder\\Pakico.lnk");
    missing.Target = "C:\\Pakico.exe";
    EXPECT_EQ("ShellLink Write Error.", ErrorOf(missing));
}
