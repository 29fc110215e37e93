// Why the cat rests, and what a failing start-up looks like, seen from outside.
#include "E2eSupport.h"

#include <atomic>
#include <thread>

using namespace e2e;
using namespace testing_support;

namespace {

class RestingReasons : public E2eTest {};

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The program's standard error box (the platform's message box with the program's title):
// its message, after which it is answered with OK. Empty when none showed within `ms`.
std::string AnswerErrorBox(unsigned ms) {
    std::string message;
    WaitUntil(
        [&] {
            for (HWND box : TopWindows("#32770")) {
                if (WindowText(box) != "Pakico" || !IsWindowVisible(box))
                    continue;
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    std::string text = WindowText(child);
                    if (text.size() > message.size() && text != "OK")
                        message = text;
                }
                if (HWND ok = FindChildByText(box, "OK"))
                    PostMessageA(ok, BM_CLICK, 0, 0);
                return true;
            }
            return false;
        },
        ms);
    return message;
}

} // namespace

TEST_F(RestingReasons, ABusyArchiverRestsTheCatButTakesDrops) {
    // Away from the corner where the drag source shows its own window.
    WriteSettingNumber("Dialog\\Pakico", "Left", 400);
    WriteSettingNumber("Dialog\\Pakico", "Top", 300);
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    SetStandinControl(pakico.Folder(), "Unlha32.dll", "running=1\r\n");
    ASSERT_TRUE(pakico.Start());
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", kSettleMs)) << pakico.Layer();

    // While a library works, drops are still taken and handed over.
    std::string text = pakico.Scratch() + "note.txt";
    WriteFileBytes(text, "note");
    auto run = DropAndWait(pakico, {}, {text});
    ExpectHandOff(pakico, run, "/QA \\", {text});

    SetStandinControl(pakico.Folder(), "Unlha32.dll", "");
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
}

TEST_F(RestingReasons, AWorkFolderThatCannotBeMadeIsReportedAndTheCatStillShows) {
    PakicoRun pakico;
    // A file where the companion's work folder should be: the folder cannot be made.
    WriteFileBytes(pakico.Scratch() + "~MORVA(", "in the way");
    std::string base = pakico.Scratch().substr(0, pakico.Scratch().size() - 1);
    WriteSettingText("Setting", "WorkPath", base);

    std::atomic<bool> answered{false};
    std::string message;
    std::thread answer([&] {
        message = AnswerErrorBox(kStartMs);
        answered = true;
    });
    auto started = pakico.Start();
    answer.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ("作業フォルダが作成できません。フォルダ名 = " + base + "\\~MORVA(", message);
    ASSERT_TRUE(started);
    EXPECT_TRUE(IsWindowVisible(pakico.Main()));
    EXPECT_TRUE(pakico.Running());
    // The steps before the failing one ran: the picture was chosen and the icon is there.
    EXPECT_EQ("CoolForm1", pakico.Layer());
    EXPECT_NE(nullptr, pakico.Tray());
}
