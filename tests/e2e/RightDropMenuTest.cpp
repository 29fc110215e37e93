// Files dragged onto the cat with the right button: the menu that opens at the drop point
// half a second later, chosen from with the keyboard, and what each choice starts.
//
// The menu lives in Pakico's process, so its items cannot be read from here; whether an item
// is enabled is judged by its effect: a disabled item cannot be chosen and starts nothing.
#include "e2e/E2eSupport.h"

using namespace e2e;
using namespace testing_support;

namespace {

class RightDropMenu : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        SaveCatPlace(400, 300);
        pakico_ = std::make_unique<PakicoRun>(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
        ASSERT_TRUE(pakico_->Start());
        ASSERT_TRUE(pakico_->WaitForLayer("CoolForm1", kSettleMs));
        archive_ = pakico_->Scratch() + "backup.lzh";
        WriteFileBytes(archive_, LzhBytes());
        text_ = pakico_->Scratch() + "memo.txt";
        WriteFileBytes(text_, "memo");
    }
    void TearDown() override {
        pakico_.reset();
        E2eTest::TearDown();
    }

    // Right-drops the files and waits for the menu; the drag is made again when Wine lost it.
    HWND DropForMenu(const std::vector<std::string>& files, std::vector<std::string> options = {}) {
        options.push_back("--right");
        for (int attempt = 0; attempt < 3; ++attempt) {
            int effect = DragFiles(options, pakico_->Centre(), files);
            HWND menu = pakico_->WaitForMenu(effect < 100 ? 5000 : 1500);
            if (menu)
                return menu;
            ADD_FAILURE() << "right drag " << attempt << " ended with " << effect
                          << " and opened no menu";
        }
        return nullptr;
    }

    // Types the keys into the open menu and returns the companion's starts that followed.
    std::vector<MorvaRun> Choose(const std::vector<WORD>& keys, std::size_t expectedRuns) {
        std::size_t before = pakico_->MorvaRuns();
        PressKeys(keys);
        if (!pakico_->WaitForMenuClosed(2000)) {
            // A disabled item leaves the menu open under some platforms; close it.
            PressKey(VK_ESCAPE);
            EXPECT_TRUE(pakico_->WaitForMenuClosed(kSettleMs));
        }
        if (expectedRuns == before) {
            Sleep(2000); // long enough for a start that should not happen to show
            return ReadRuns();
        }
        return pakico_->WaitForMorva(expectedRuns);
    }

    std::vector<MorvaRun> ReadRuns() const {
        return FileExists(pakico_->Folder() + "Morva.log") ? ReadMorvaLog(pakico_->Folder())
                                                           : std::vector<MorvaRun>{};
    }

    std::unique_ptr<PakicoRun> pakico_;
    std::string archive_, text_;
};

// Items, for the arrow keys: cancel, (separator), view, (separator), compress, extract.
const std::vector<WORD> kCancel{VK_DOWN, VK_RETURN};
const std::vector<WORD> kView{VK_DOWN, VK_DOWN, VK_RETURN};
const std::vector<WORD> kCompress{'P'};
const std::vector<WORD> kExtract{'E'};

} // namespace

TEST_F(RightDropMenu, OpensAtTheDropPointAndCancelStartsNothing) {
    POINT centre = pakico_->Centre();
    HWND menu = DropForMenu({archive_});
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(pakico_->WaitForLayer("CoolForm1", 100)) << "a right drag keeps the picture";
    RECT place{};
    GetWindowRect(menu, &place);
    EXPECT_NEAR(centre.x, place.left, 3);
    EXPECT_NEAR(centre.y, place.top, 3);
    SaveScreenshot(place, "menu.bmp");

    EXPECT_TRUE(Choose(kCancel, 0).empty());
    EXPECT_TRUE(pakico_->Running());
}

TEST_F(RightDropMenu, AnArchiveCanBeViewedCompressedOrExtracted) {
    ASSERT_NE(nullptr, DropForMenu({archive_}));
    auto runs = Choose(kView, 1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(*pakico_, runs[0], "/Da ArchiveIcon!", {archive_}, " /Send");

    ASSERT_NE(nullptr, DropForMenu({archive_}));
    runs = Choose(kCompress, 2);
    ASSERT_EQ(2u, runs.size());
    ExpectHandOff(*pakico_, runs[1], "/QA \\", {archive_});

    ASSERT_NE(nullptr, DropForMenu({archive_}));
    runs = Choose(kExtract, 3);
    ASSERT_EQ(3u, runs.size());
    ExpectHandOff(*pakico_, runs[2], "/QE \\", {archive_});
}

// An archive that exists only inside its source (read after the drop) is written first; then
// its menu opens as for a file.
TEST_F(RightDropMenu, AnArchiveOnlyItsSourceHasIsWrittenBeforeItsMenu) {
    ASSERT_NE(nullptr, DropForMenu({"受信.lzh|" + archive_}, {"--virtual", "--stream", "--async"}));
    auto runs = Choose(kExtract, 1);
    ASSERT_EQ(1u, runs.size());
    const std::vector<std::string> listed = ListedPaths(runs[0]);
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ("\\受信.lzh", listed[0].substr(listed[0].find_last_of('\\')));
    EXPECT_EQ(LzhBytes(), ReadFileBytes(listed[0]));
    ExpectHandOff(*pakico_, runs[0], "/QE \\", listed);
}

TEST_F(RightDropMenu, WithATextFileViewAndExtractCannotBeChosen) {
    ASSERT_NE(nullptr, DropForMenu({archive_, text_}));
    EXPECT_TRUE(Choose(kExtract, 0).empty()) << "extract was chosen";

    ASSERT_NE(nullptr, DropForMenu({archive_, text_}));
    EXPECT_TRUE(Choose(kView, 0).empty()) << "view was chosen";

    // The same keys reach the enabled item: compress takes both files, in drop order.
    ASSERT_NE(nullptr, DropForMenu({archive_, text_}));
    auto runs = Choose(kCompress, 1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(*pakico_, runs[0], "/QA \\", {archive_, text_});
}

// A right drop, then at once a left drop of other files: the left drop's files go to the
// companion once, and the menu, which waits until that drag is over, acts on the right drop's
// files alone.
TEST_F(RightDropMenu, EachDropKeepsItsOwnFiles) {
    // Beside the drag source's window, so that the second drag reaches the cat at once.
    SetWindowPos(pakico_->Main(), nullptr, 150, 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const POINT centre = pakico_->Centre();
    bool done = false;
    for (int attempt = 0; attempt < 3 && !done; ++attempt) {
        const std::size_t before = pakico_->MorvaRuns();
        auto outcomes = DragFilesReported({"--right", "--quick"}, centre, {archive_}, {text_},
                                          centre, {"--left"});
        HWND menu = pakico_->WaitForMenu(5000);
        // The second drag must reach the cat within the menu's half second. On a machine too
        // slow for that the menu came first and took the pointer: the pair is made again.
        const bool bothDropped = outcomes.size() == 2 && outcomes[0].effect == kEffectCopy &&
                                 outcomes[1].effect == kEffectCopy;
        if (!bothDropped || !menu) {
            if (menu)
                Choose(kCancel, before);
            for (const MorvaRun& run : pakico_->WaitForMorva(before + 1, 2000))
                DeleteFileA(ListPathOf(run).c_str());
            continue;
        }
        done = true;
        auto runs = Choose(kExtract, before + 2);
        ASSERT_EQ(before + 2, runs.size())
            << "extract was not offered for the right drop's archive";
        ExpectHandOff(*pakico_, runs[before], "/QA \\", {text_});
        ExpectHandOff(*pakico_, runs[before + 1], "/QE \\", {archive_});
    }
    EXPECT_TRUE(done) << "the left drop never reached the cat before its menu opened";
}

// A right drop's menu does not open over another window of the program, whose answer its
// commands would run ahead of: here the error that a left drag made at once after it brings (the
// library failed checking the program file dragged), shown once that drag is over. The menu opens
// once the error is answered, for the right drop's files.
TEST_F(RightDropMenu, TheMenuWaitsWhileAnotherWindowIsOpen) {
    SetWindowPos(pakico_->Main(), nullptr, 150, 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const POINT centre = pakico_->Centre();
    const std::string program = pakico_->Scratch() + "setup.exe";
    WriteFileBytes(program, "MZ" + std::string(300, 'x'));
    bool done = false;
    for (int attempt = 0; attempt < 3 && !done; ++attempt) {
        SetStandinControl(pakico_->Folder(), "Unlha32.dll", "fault=1\r\n");
        auto outcomes = DragFilesReported({"--right", "--quick"}, centre, {archive_}, {program},
                                          centre, {"--left"});
        HWND error = WaitForErrorBox(kSettleMs);
        SetStandinControl(pakico_->Folder(), "Unlha32.dll", "");
        // As in EachDropKeepsItsOwnFiles, the second drag must reach the cat within the menu's
        // half second; otherwise the pair is made again.
        if (outcomes.size() != 2 || outcomes[0].effect != kEffectCopy || !error) {
            if (error)
                AnswerErrorBox(error);
            if (pakico_->WaitForMenu(1000))
                Choose(kCancel, 0);
            continue;
        }
        done = true;
        EXPECT_EQ(nullptr, pakico_->WaitForMenu(1500)) << "the menu opened over the error";
        EXPECT_NE(std::string::npos, AnswerErrorBox(error).find("Unlha32.dll"));
        ASSERT_NE(nullptr, pakico_->WaitForMenu(kSettleMs)) << "no menu once the error was gone";
        auto runs = Choose(kExtract, 1);
        ASSERT_EQ(1u, runs.size()) << "extract was not offered for the right drop's archive";
        ExpectHandOff(*pakico_, runs[0], "/QE \\", {archive_});
    }
    EXPECT_TRUE(done) << "the left drag never reached the cat before the menu opened";
}
