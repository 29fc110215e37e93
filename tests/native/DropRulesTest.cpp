// What the cat does with a drag: taken or refused when it enters, and what its drop does.
#include "archive/DropRules.h"

#include <gtest/gtest.h>

using namespace droprules;

namespace {

std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

} // namespace

TEST(DropRules, ControlCharactersAreToldFromDoubleByteText) {
    EXPECT_TRUE(HasControlCharacter("C:\\a.txt\r\nC:\\Users\\x\\private"));
    EXPECT_TRUE(HasControlCharacter(std::string("C:\\\x01.txt")));
    EXPECT_TRUE(HasControlCharacter("C:\\tab\there"));
    // "表示" and "ソ" carry the trail bytes 5C and 83 5C; a space and DEL are no control.
    EXPECT_FALSE(HasControlCharacter("C:\\表示 ソフト\\\x7f.lzh"));
    EXPECT_FALSE(HasControlCharacter(U8(u8"C:\\caf\u00e9\\\U0002000B.zip")));
}

TEST(DropRules, ADragIsTakenWhenTheCatIsReadyOrOnlyALibraryIsBusy) {
    const std::vector<std::string> files{"C:\\a.lzh"};
    const std::vector<std::string> none;
    const std::vector<std::string> controlled{"C:\\a.txt\r\nC:\\b.txt"};
    struct Row {
        const std::vector<std::string>& names;
        CatState cat;
        bool taken;
    } rows[] = {
        {files, {.readyPicture = true}, true},
        // The resting or closed-eyed cat (another window open, no companion) refuses...
        {files, {}, false},
        // ...but not for a library at work, nor while a drag picture is still up.
        {files, {.libraryBusy = true}, true},
        {files, {.dragPicture = true}, true},
        // Every name left out: taken, so that the drop can say why nothing happens.
        {none, {}, true},
        // A control character is never taken, however ready the cat.
        {controlled, {.readyPicture = true, .dragPicture = true, .libraryBusy = true}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.taken, TakesDrag(row.names, row.cat))
            << row.names.size() << " names, ready " << row.cat.readyPicture << ", picture "
            << row.cat.dragPicture << ", busy " << row.cat.libraryBusy;
}

TEST(DropRules, TheDropCompressesExtractsOrOpensTheMenu) {
    const std::vector<std::string> archives{"C:\\a.lzh", "C:\\b.zip"};
    const std::vector<std::string> none;
    const std::vector<std::string> controlled{"C:\\a.lzh\nC:\\b.lzh"};
    struct Row {
        DragOffer offer;
        DropAction action;
    } rows[] = {
        {{archives, false, false, false}, DropAction::Compress},
        {{archives, false, true, false}, DropAction::Compress},
        {{archives, true, false, false}, DropAction::Extract},
        // Shift turns an extraction into a compression.
        {{archives, true, true, false}, DropAction::Compress},
        // The right button's menu decides, whatever the files and keys.
        {{archives, true, false, true}, DropAction::Menu},
        {{archives, false, true, true}, DropAction::Menu},
        {{none, true, false, false}, DropAction::Refuse},
        {{none, false, false, true}, DropAction::Refuse},
        {{controlled, true, false, false}, DropAction::Refuse},
        {{controlled, true, false, true}, DropAction::Refuse},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.action, ActionFor(row.offer))
            << row.offer.names.size() << " names, archives " << row.offer.allArchives << ", shift "
            << row.offer.shift << ", right " << row.offer.rightButton;
}
