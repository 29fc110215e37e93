// The OLE drop target on a window of the test's own, its drag-and-drop calls made directly
// with the test's data objects: names, maps, effects, events and errors of handlers.
#include "shell/DropTarget.h"

#include "util/Errors.h"
#include "support/ShortNames.h"
#include "support/WinTestSupport.h"
#include "win/DropTestSupport.h"

#include <gtest/gtest.h>

using namespace drop_test;
using dropfiles::BuildDropFiles;
using dropfiles::BuildDropFilesWide;

TEST_F(DropTargetTest, ByteNamesAreReadOnEnter) {
    target->GetDataOnEnter = true;
    TestDataObject data;
    Names names{"C:\\書庫\\表示.lzh", "C:\\ソフト\\a.txt"};
    EXPECT_EQ(DROPEFFECT_COPY, Enter(FilesObject(data, BuildDropFiles(names)), MK_LBUTTON));
    EXPECT_EQ(names, target->Files());
    ASSERT_EQ(Names{"Enter"}, events);
    EXPECT_EQ(names, filesSeen[0]);
    EXPECT_EQ(TShiftState(ssLeft), shifts[0]);
    EXPECT_EQ(10, points[0].x);
    EXPECT_EQ(20, points[0].y);
    EXPECT_TRUE(target->Dragging());
    EXPECT_EQ(2, data.References()); // held while the drag is over the target
    EXPECT_EQ(DROPEFFECT_COPY, DropOn(&data, 0));
    EXPECT_EQ(names, filesSeen.back());
    EXPECT_EQ(1, data.References());
    EXPECT_FALSE(target->Dragging());
}

TEST_F(DropTargetTest, WideJapaneseNamesArriveInTheCodePage) {
    TestDataObject data;
    Enter(FilesObject(data, BuildDropFilesWide({u"C:\\書庫\\表示テスト.lzh", u"D:\\ｶﾅ.txt"})),
          MK_LBUTTON);
    // Without GetDataOnEnter nothing is read until the drop.
    EXPECT_EQ(Names{}, filesSeen[0]);
    EXPECT_EQ(DROPEFFECT_COPY, DropOn(&data, 0));
    Names expected{"C:\\書庫\\表示テスト.lzh", "D:\\ｶﾅ.txt"};
    EXPECT_EQ(expected, target->Files());
    EXPECT_EQ(expected, filesSeen.back());
    EXPECT_EQ((Names{"Enter", "Drop"}), events);
}

// Characters the code page lacks would arrive as '?' or look-alikes: a path to no file, or to
// other files when read as a wildcard. A file that exists comes in its short form instead; a
// name without one (no file, or a volume that keeps no short names) is left out and told.
TEST_F(DropTargetTest, WideNamesOutsideTheCodePageComeInTheirShortFormOrNotAtAll) {
    testing_support::TempFolder folder("wide");
    std::u16string base(folder.path().begin(), folder.path().end()); // ASCII temporary path
    const std::u16string korean = base + u"\xD55C\xAD6D data.txt";
    const std::u16string accented = base + u"caf\x00E9.txt";
    // Each file holds its own name, so the path that comes can be seen to be the right file.
    for (const std::u16string& name : {korean, accented}) {
        HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(name.c_str()), GENERIC_WRITE, 0,
                                  nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, name.data(), static_cast<DWORD>(name.size() * 2), &written, nullptr);
        CloseHandle(file);
    }
    // The look-alike of "café.txt" is another file.
    testing_support::WriteFileBytes(folder.path() + "cafe.txt", "look-alike");
    const std::u16string japanese = base + u"表示.txt";  // not made: no short form is needed
    const std::u16string missing = base + u"\xD55C.txt"; // no file, so no short form

    TestDataObject data;
    FilesObject(data, BuildDropFilesWide({korean, accented, japanese, missing}));
    Enter(&data, MK_LBUTTON);
    DropOn(&data, 0);
    const Names& files = target->Files();
    ASSERT_EQ(3u, files.size());
    const std::u16string made[] = {korean, accented};
    for (int i : {0, 1}) {
        std::string content = testing_support::ReadFileBytes(files[i]);
        EXPECT_EQ(made[i], std::u16string(reinterpret_cast<const char16_t*>(content.data()),
                                          content.size() / 2))
            << files[i];
    }
    EXPECT_EQ(folder.path() + "表示.txt", files[2]);
    EXPECT_EQ(Names{folder.path() + "?.txt"}, target->LeftOutNames());

    testing_support::VolumeWithoutShortNames exFat;
    Enter(&data, MK_LBUTTON);
    EXPECT_EQ(DROPEFFECT_COPY, DropOn(&data, 0));
    EXPECT_EQ(Names{folder.path() + "表示.txt"}, target->Files());
    EXPECT_EQ(
        (Names{folder.path() + "?? data.txt", folder.path() + "caf?.txt", folder.path() + "?.txt"}),
        target->LeftOutNames());
    // With nothing left the drop still comes, so that its owner can say why nothing happens.
    TestDataObject none;
    FilesObject(none, BuildDropFilesWide({missing}));
    Enter(&none, MK_LBUTTON);
    EXPECT_EQ((Names{"Enter", "Drop", "Enter", "Drop", "Enter"}), events);
    DropOn(&none, 0);
    EXPECT_EQ(Names{}, target->Files());
    EXPECT_EQ(Names{folder.path() + "?.txt"}, target->LeftOutNames());
    EXPECT_EQ("Drop", events.back());
}

// No file name holds a control character: a drag that offers one, among its names or its
// name maps, is refused as a whole, so that a line break can never add a path of its own to
// the companion's list.
TEST_F(DropTargetTest, ANameWithAControlCharacterRefusesTheWholeDrag) {
    const std::string injected = "C:\\a.txt\r\nC:\\Users\\x\\private";
    TestDataObject bytes, wide, mapped;
    FilesObject(bytes, BuildDropFiles({"C:\\b.txt", injected}));
    FilesObject(wide, BuildDropFilesWide({u"C:\\a.txt\nC:\\other"}));
    FilesObject(mapped, BuildDropFiles({"C:\\a.txt"}));
    mapped.Offer(DropFormats().fileNameMap, dropfiles::BuildNameList({"new\tname.txt"}));
    for (bool onEnter : {true, false}) {
        target->GetDataOnEnter = onEnter;
        for (TestDataObject* data : {&bytes, &wide, &mapped}) {
            events.clear();
            Enter(data, MK_LBUTTON);
            Over(MK_LBUTTON);
            EXPECT_EQ(DROPEFFECT_NONE, DropOn(data, 0)) << onEnter;
            EXPECT_EQ(Names{}, target->Files());
            EXPECT_EQ(1, data->References());
            EXPECT_EQ(onEnter ? Names{} : (Names{"Enter", "DragOver", "Leave"}), events);
        }
    }
}

// A drag of files that exist only inside its source: the names its items will get, wide or in
// the code page. A drag that also offers file names is a drag of those files; one whose
// descriptor lists nothing, or that offers no contents, is refused.
TEST_F(DropTargetTest, FilesOfferedOnlyFromInsideTheirSourceAreTaken) {
    target->GetDataOnEnter = true;
    const DropClipboardFormats& f = DropFormats();
    std::vector<vfiles::DescribedItem> items(4);
    items[0].name = u"写真";
    items[0].folder = true;
    items[1].name = u"写真\\海.jpg";
    items[2].name = u"CON";
    items[3].name = u"..\\..\\x.txt";
    TestDataObject wide, ansi, both, empty, bare;
    wide.Offer(f.fileGroupDescriptorW, vfiles::BuildFileGroup(items));
    ansi.Offer(f.fileGroupDescriptor, vfiles::BuildFileGroup({items[3]}, false));
    FilesObject(both, BuildDropFiles({"C:\\a.txt"}));
    both.Offer(f.fileGroupDescriptorW, vfiles::BuildFileGroup(items));
    empty.Offer(f.fileGroupDescriptorW, vfiles::BuildFileGroup({}));
    bare.Offer(f.fileGroupDescriptorW, vfiles::BuildFileGroup(items));
    for (TestDataObject* data : {&wide, &ansi, &both, &empty})
        data->Offer(f.fileContents, "");
    const struct {
        const char* what;
        TestDataObject& data;
        DWORD effect;
        Names virtualNames, files;
    } rows[] = {
        {"wide", wide, DROPEFFECT_COPY, {"写真", "_CON", "x.txt"}, {}},
        {"code page", ansi, DROPEFFECT_COPY, {"x.txt"}, {}},
        {"with file names", both, DROPEFFECT_COPY, {}, {"C:\\a.txt"}},
        {"listing nothing", empty, DROPEFFECT_NONE, {}, {}},
        {"without contents", bare, DROPEFFECT_NONE, {}, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.effect, Enter(&row.data, MK_LBUTTON)) << row.what;
        EXPECT_EQ(row.virtualNames, target->VirtualNames()) << row.what;
        EXPECT_EQ(row.files, target->Files()) << row.what;
        EXPECT_EQ(row.effect, DropOn(&row.data, 0)) << row.what;
        EXPECT_EQ(row.effect != DROPEFFECT_NONE && row.files.empty(), target->OffersVirtualFiles())
            << row.what;
    }
}

TEST_F(DropTargetTest, TextOnlyIsRefusedWithoutEvents) {
    TestDataObject data;
    data.Offer(CF_TEXT, std::string("C:\\a.txt\0", 9));
    EXPECT_EQ(DROPEFFECT_NONE, Enter(&data, MK_LBUTTON));
    EXPECT_EQ(DROPEFFECT_NONE, Over(MK_LBUTTON));
    EXPECT_EQ(DROPEFFECT_NONE, DropOn(&data, 0));
    EXPECT_EQ(DROPEFFECT_NONE, Enter(&data, MK_LBUTTON));
    EXPECT_EQ(S_OK, target->DragLeave());
    EXPECT_EQ(Names{}, events);
    EXPECT_EQ(1, data.References());
    EXPECT_FALSE(target->Dragging());
}

TEST_F(DropTargetTest, EffectFollowsKeysAndDragTypes) {
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a"}));
    EXPECT_EQ(DROPEFFECT_MOVE, Enter(&data, MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(DROPEFFECT_COPY, Over(MK_LBUTTON | MK_CONTROL));
    // Link is not among the drag types, so Ctrl+Shift falls back to copy.
    EXPECT_EQ(DROPEFFECT_COPY, Over(MK_LBUTTON | MK_CONTROL | MK_SHIFT));
    EXPECT_EQ(DROPEFFECT_MOVE, Over(MK_LBUTTON, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ(DROPEFFECT_NONE, Over(MK_LBUTTON, DROPEFFECT_LINK));
    target->Dragtypes = dtCopy | dtMove | dtLink;
    EXPECT_EQ(DROPEFFECT_LINK, Over(MK_LBUTTON | MK_CONTROL | MK_SHIFT));
    EXPECT_EQ(DROPEFFECT_MOVE, DropOn(&data, MK_SHIFT));
    EXPECT_EQ(TShiftState(ssShift), shifts.back());
}

TEST_F(DropTargetTest, DropEffectHandlerDecides) {
    std::vector<DWORD> offered;
    target->OnGetDropEffect = [&](TDropTarget&, TShiftState, POINT, DWORD& effect) {
        offered.push_back(effect);
    };
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a"}));
    // The handler leaves the effect as offered: the source's effects limited to copy and move.
    EXPECT_EQ(DROPEFFECT_COPY | DROPEFFECT_MOVE, Enter(&data, MK_LBUTTON | MK_SHIFT));
    target->OnGetDropEffect = [&](TDropTarget&, TShiftState s, POINT, DWORD& effect) {
        offered.push_back(effect);
        effect = (s & ssCtrl) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    };
    EXPECT_EQ(DROPEFFECT_COPY, Over(MK_LBUTTON | MK_CONTROL));
    EXPECT_EQ(DROPEFFECT_MOVE, DropOn(&data, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE));
    EXPECT_EQ((std::vector<DWORD>{3, 3, 3}), offered);
    // The event handlers may still change what is answered.
    target->OnDragOver = [](TDropTarget&, TShiftState, POINT, DWORD& effect) { effect = 0; };
    Enter(&data, MK_LBUTTON);
    EXPECT_EQ(DROPEFFECT_NONE, Over(MK_LBUTTON));
    target->DragLeave();
}

TEST_F(DropTargetTest, EventsComeInOrderAndLeaveClearsTheNames) {
    target->GetDataOnEnter = true;
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a", "C:\\b"}));
    Enter(&data, MK_LBUTTON);
    Over(MK_LBUTTON);
    EXPECT_EQ(S_OK, target->DragLeave());
    EXPECT_EQ(Names{}, target->Files());
    EXPECT_EQ(1, data.References());
    // A drop without an enter first finds no data held.
    EXPECT_EQ(DROPEFFECT_NONE, DropOn(&data, 0));
    Enter(&data, MK_RBUTTON);
    Over(MK_RBUTTON);
    Over(MK_RBUTTON);
    DropOn(&data, 0);
    EXPECT_EQ((Names{"Enter", "DragOver", "Leave", "Enter", "DragOver", "DragOver", "Drop"}),
              events);
    EXPECT_EQ(TShiftState(ssRight), shifts[2]);
    EXPECT_EQ(12, points.back().x);
    EXPECT_EQ(22, points.back().y);
    EXPECT_EQ((Names{"C:\\a", "C:\\b"}), target->Files()); // kept for the drop's user
}

TEST_F(DropTargetTest, ErrorsOfHandlersAreReportedNotRaised) {
    target->OnEnter = [](TDropTarget&, TShiftState, POINT, DWORD&) { throw EAppError("enter"); };
    target->OnDrop = [](TDropTarget&, TShiftState, POINT, DWORD&) { throw 42; };
    target->OnLeave = [](TDropTarget&) { throw std::runtime_error("leave"); };
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a"}));
    EXPECT_EQ(DROPEFFECT_NONE, Enter(&data, MK_LBUTTON));
    EXPECT_FALSE(target->Dragging()); // a failed enter refuses the drag
    EXPECT_EQ(1, data.References());
    target->OnEnter = nullptr;
    Enter(&data, MK_LBUTTON);
    EXPECT_EQ(S_OK, target->DragLeave());
    Enter(&data, MK_LBUTTON);
    EXPECT_EQ(DROPEFFECT_NONE, DropOn(&data, 0));
    EXPECT_EQ(1, data.References());
    ASSERT_EQ(3u, errors.size());
    EXPECT_EQ("enter", errors[0]);
    EXPECT_EQ("leave", errors[1]);
    EXPECT_EQ("予期しないエラーが発生しました。", errors[2]);
}

TEST_F(DropTargetTest, FileNameMaps) {
    const DropClipboardFormats& f = DropFormats();
    TestDataObject bytes;
    FilesObject(bytes, BuildDropFiles({"C:\\a", "C:\\b"}));
    bytes.Offer(f.fileNameMap, dropfiles::BuildNameList({"新しい a", "b copy"}));
    bytes.Offer(f.fileNameMapW, dropfiles::BuildNameListWide({u"wide a", u"wide b"}));
    Enter(&bytes, MK_LBUTTON);
    DropOn(&bytes, 0);
    EXPECT_EQ((Names{"新しい a", "b copy"}), target->MappedNames());

    TestDataObject wide;
    FilesObject(wide, BuildDropFiles({"C:\\a"}));
    wide.Offer(f.fileNameMapW, dropfiles::BuildNameListWide({u"表示.txt"}));
    Enter(&wide, MK_LBUTTON);
    DropOn(&wide, 0);
    EXPECT_EQ(Names{"表示.txt"}, target->MappedNames());

    TestDataObject mismatch;
    FilesObject(mismatch, BuildDropFiles({"C:\\a", "C:\\b"}));
    mismatch.Offer(f.fileNameMap, dropfiles::BuildNameList({"only one"}));
    Enter(&mismatch, MK_LBUTTON);
    DropOn(&mismatch, 0);
    EXPECT_EQ((Names{"C:\\a", "C:\\b"}), target->Files());
    EXPECT_EQ(Names{}, target->MappedNames());

    TestDataObject unterminated;
    FilesObject(unterminated, BuildDropFiles({"C:\\a", "C:\\b"}));
    unterminated.Offer(f.fileNameMap, std::string("x\0y", 3));
    Enter(&unterminated, MK_LBUTTON);
    DropOn(&unterminated, 0);
    EXPECT_EQ(Names{}, target->MappedNames());
}

// Blocks whose header or names do not fit their memory: no names, or only the whole ones.
TEST_F(DropTargetTest, MalformedBlocksGiveOnlyWholeNames) {
    auto dropBlock = [&](const std::string& block) {
        TestDataObject data;
        HGLOBAL global = TestDataObject::MakeGlobal(block);
        EXPECT_GE(GlobalSize(global), block.size());
        data.OfferGlobal(CF_HDROP, global);
        Enter(&data, MK_LBUTTON);
        events.clear();
        DWORD effect = DropOn(&data, 0);
        GlobalFree(global);
        return std::make_pair(effect, events);
    };
    std::string beyond = BuildDropFiles({"C:\\a"});
    beyond[0] = static_cast<char>(beyond.size() + 100);
    // No names: no drop event, and the drag ends as a leave.
    EXPECT_EQ(std::make_pair(DWORD(DROPEFFECT_NONE), Names{"Leave"}), dropBlock(beyond));
    std::string inHeader = BuildDropFiles({"C:\\a"}, 0x41414141, 0x42424242);
    inHeader[0] = 8;
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), dropBlock(inHeader).first);
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), dropBlock(BuildDropFiles({})).first);
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), dropBlock(std::string(12, '\0')).first);

    std::string cut = BuildDropFiles({"C:\\whole", "C:\\cut"});
    cut.resize(cut.size() - 2); // "C:\cut" loses its terminator and the list its end
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), dropBlock(cut).first);
    EXPECT_EQ(Names{"C:\\whole"}, target->Files());

    std::string odd = BuildDropFilesWide({u"C:\\表", u"C:\\x"});
    odd.resize(odd.size() - 3);
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), dropBlock(odd).first);
    EXPECT_EQ(Names{"C:\\表"}, target->Files());
}

// The source offers file names but hands out none: the drop fires no drop event, and the drag
// ends as a leave, so its owner does not wait for ever for its end.
TEST_F(DropTargetTest, MediumOtherThanGlobalMemoryGivesNoNamesAndTheDropEndsAsALeave) {
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a"}));
    data.UseStreams();
    Enter(&data, MK_LBUTTON);
    EXPECT_EQ(DROPEFFECT_NONE, DropOn(&data, 0));
    EXPECT_EQ((Names{"Enter", "Leave"}), events);
    EXPECT_EQ(1, data.References());
    EXPECT_EQ(Names{}, target->Files());
}

// The drag image of a drag started in this process is drawn over the target while the drag is
// over it, hidden and shown again with ShowImage, and taken away when the drag leaves.
