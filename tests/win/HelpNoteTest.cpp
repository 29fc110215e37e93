// Help with the program in a network folder, where Windows shows no page of a compiled help file:
// the note instead of an empty help window. Wine reports every drive as a local one, so the
// drive's type is stood in for.
#include "ui/HelpFile.h"

#include <gtest/gtest.h>

#include "support/WinTestSupport.h"
#include "util/FileProbe.h"
#include "win/MessageTestFixture.h"

using namespace testing_support;

using HelpFromTheNetwork = MessageTest;

TEST_F(HelpFromTheNetwork, HelpSaysWhyItCannotOpenAndWhereTheReadmeIs) {
    // A help file beside the program (the test's own), on a drive that answers as a network one.
    const std::string helpFile = ExeFolder() + "PAKICO.CHM";
    WriteFileBytes(helpFile, "ITSF");
    const DriveTypeCall platform =
        SetDriveTypeCall([](const char*) -> unsigned { return DRIVE_REMOTE; });
    EXPECT_TRUE(IsNetworkPath(ExeFolder()));
    EXPECT_TRUE(IsNetworkPath("\\\\server\\share\\Pakico"));
    for (bool contents : {true, false}) {
        MessageBoxDriver driver({Answer::ClickButton(IDOK)});
        contents ? ShowHelpContents(nullptr) : ShowHelpTopic(nullptr, 3);
        EXPECT_EQ(1u, driver.seen().size()) << contents;
        const std::string note = driver.seen().empty() ? "" : driver.seen()[0].text;
        EXPECT_NE(std::string::npos, note.find("ネットワーク上のフォルダ")) << note;
        EXPECT_NE(std::string::npos, note.find("説明書 Pakico.txt")) << note;
        EXPECT_EQ(nullptr, FindWindowA("HH Parent", nullptr)) << "a help window opened";
    }
    SetDriveTypeCall(platform);
    QuitHelp();
    DeleteFileA(helpFile.c_str());
}
