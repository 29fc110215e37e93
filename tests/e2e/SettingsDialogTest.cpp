// The settings dialog "環境設定 - Pakico", opened from the menu of the running program and
// worked from outside: every control against its registry value, Apply and OK with their
// question, the refused fixed folder, the archive type lists following the libraries,
// residence at Windows start-up with its hot key, and help.
#include "config/CoolConfigFormRes.h"
#include "e2e/E2eSupport.h"
#include "e2e/FolderDialogDriver.h"
#include "e2e/SettingsDialogDriver.h"
#include "support/ShellFiles.h"

#include <commctrl.h>

using namespace e2e;
using namespace testing_support;

namespace {

const char kCaption[] = "環境設定 - Pakico";
const std::vector<std::string> kAllLibraries = {"Unlha32.dll", "Zip32j.dll", "ZCrypt32.DLL",
                                                "cab32.dll",   "Tar32.dll",  "BZ2LIB.dll"};

std::string RemoveSlash(const std::string& path) {
    return path.substr(0, path.size() - 1);
}

class SettingsDialogTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        // The start-up shortcut goes to a folder of the test's own.
        startupValue_ =
            std::make_unique<ShellFolderOverride>("Startup", RemoveSlash(startup_.path()));
    }
    void TearDown() override {
        startupValue_.reset();
        E2eTest::TearDown();
    }

    // Opens the dialog from the notification-area menu ("環境設定(&G)").
    SettingsDialog OpenDialog(PakicoRun& pakico) {
        // The menu comes back once the cat is awake again after the last dialog.
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
        EXPECT_NE(nullptr, pakico.OpenTrayMenu());
        PressKey('G');
        HWND dialog = nullptr;
        WaitUntil(
            [&] {
                dialog = FindDialog(pakico.ProcessId(), kCaption);
                return dialog && IsWindowVisible(dialog);
            },
            kSettleMs);
        EXPECT_NE(nullptr, dialog) << "the settings dialog did not open";
        Sleep(300);
        return SettingsDialog(dialog);
    }

    // A message box over the dialog: its text, answered with one of the buttons.
    std::string AnswerBox(PakicoRun& pakico, const SettingsDialog& dialog,
                          const std::string& expectedCaption,
                          const std::vector<std::string>& button) {
        SeenBox box = WaitForBox(pakico.ProcessId(), {dialog.Handle()});
        EXPECT_NE(nullptr, box.window) << "no message box";
        if (!box.window)
            return "";
        EXPECT_EQ(expectedCaption, box.caption);
        EXPECT_TRUE(ClickBoxButton(box.window, button));
        WaitUntil([&] { return !IsWindow(box.window); }, kSettleMs);
        return box.text;
    }

    TempFolder startup_{"startup"};
    std::unique_ptr<ShellFolderOverride> startupValue_;
};

// One value and the control that edits it: what is stored before the dialog opens, what the
// control shows then, what the test changes it to, and what is stored after Apply.
enum class Kind { Check, Radio, Number, Combo };
struct ControlCase {
    Kind kind;
    const char* section;
    const char* name;
    int control; // the check box, up-down or list (0 for a radio value)
    int stored;
    int shown;    // check: 1/0; radio: the id checked; number: the position; combo: the index
    int changeTo; // check: clicked to toggle; radio: the id clicked; number, combo: the value
    int storedAfter;
};

// Values away from their defaults, so that a control that loads nothing is seen. The order of
// the folder-information boxes lets every click land on an enabled box.
const ControlCase kControls[] = {
    {Kind::Check, "Setting", "Confirmation2", IDC_CFG_CHBLASTCONF, 1, 1, 0, 0},
    {Kind::Check, "Setting", "IgnoreBrokenHeader", IDC_CFG_CHBBROKEN, 1, 1, 0, 0},
    {Kind::Check, "Setting", "ErrorMessage", IDC_CFG_CHBERRMSG, 0, 0, 1, 1},
    {Kind::Check, "Setting", "ReportType1", IDC_CFG_CHBDETAILREPORT, 1, 1, 0, 0},
    {Kind::Check, "Setting", "ReportType2", IDC_CFG_CHBLHAREPORT, 1, 1, 0, 0},
    {Kind::Check, "Setting", "SkipFile", IDC_CFG_CHBSKIPFILE, 1, 1, 0, 0},
    {Kind::Check, "Setting", "OutReport1", IDC_CFG_CHBPACKREPORT, 0, 0, 1, 1},
    {Kind::Check, "Setting", "OutReport2", IDC_CFG_CHBEXTRACTREPORT, 0, 0, 1, 1},
    {Kind::Number, "Archive", "LogSize", IDC_CFG_UPDLOGSIZE1, 2048, 2048, 4096, 4096},
    {Kind::Check, "Archive\\Quick\\Add", "SelectArchiveType", IDC_CFG_CHBQPSELECTNEWARCHIVE, 0, 0,
     1, 1},
    {Kind::Radio, "Archive\\Quick\\Add", "ToPath", 0, 0, IDC_CFG_RDBPACKPATH1, IDC_CFG_RDBPACKPATH4,
     3},
    {Kind::Radio, "Archive\\Quick\\Add", "LhaType", 0, 4, IDC_CFG_RDBLHA7, IDC_CFG_RDBLHA0, 0},
    {Kind::Number, "Archive\\Quick\\Add", "ZipLevel", IDC_CFG_UPDQPZIPCOMPLEVEL, 9, 9, 1, 1},
    {Kind::Number, "Archive\\Quick\\Add", "TarLevel", IDC_CFG_UPDQPTARCOMPLEVEL, 7, 7, 3, 3},
    {Kind::Number, "Archive\\Quick\\Add", "CabLevel", IDC_CFG_UPDQPCABCOMPLEVEL, 21, 21, 16, 16},
    {Kind::Radio, "Archive\\Quick\\Add", "CabType", 0, 1, IDC_CFG_RDBLZX, IDC_CFG_RDBMSZIP, 0},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddUseDir", IDC_CFG_CHBDROPADDUSEDIR, 0, 0, 1,
     1},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddAbsolutePath",
     IDC_CFG_CHBDROPADDABSOLUTEPATH, 1, 1, 0, 0},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddSubDir", IDC_CFG_CHBDROPADDSUBDIR, 0, 0, 1,
     1},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddDirectory", IDC_CFG_CHBDROPADDADDPATH, 0, 0,
     1, 1},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddOpen", IDC_CFG_CHBDROPADDOPEN, 0, 0, 1, 1},
    {Kind::Check, "Archive\\DropHandler\\Add", "DropAddAutomatice", IDC_CFG_CHBDROPADDAUTOMATICE, 0,
     0, 1, 1},
    {Kind::Radio, "Archive\\Quick\\Extract", "ExtractPath", 0, 2, IDC_CFG_RDBQEFIXEDPATH,
     IDC_CFG_RDBQEDESKTOPPATH, 3},
    {Kind::Combo, "Archive\\Quick\\Extract", "Duplicate", IDC_CFG_CMBDUPLICATE, 3, 3, 0, 0},
    {Kind::Check, "Archive\\Quick\\Extract", "Recurse", IDC_CFG_CHBRECURRENCE, 1, 1, 0, 0},
    {Kind::Check, "Archive\\Quick\\Extract", "Explorer", IDC_CFG_CHBOPENEXPLORER, 1, 1, 0, 0},
    {Kind::Check, "Archive\\Quick\\Extract", "FileCopy", IDC_CFG_CHBFILECOPY, 1, 1, 0, 0},
    {Kind::Check, "Archive\\Quick\\Extract", "FileMove", IDC_CFG_CHBFILEMOVE, 0, 0, 1, 1},
    {Kind::Radio, "Archive\\Quick\\Extract", "ArchivePath", 0, 2, IDC_CFG_RDBARCHPATH3,
     IDC_CFG_RDBARCHPATH2, 1},
    {Kind::Check, "Archive\\Quick\\Extract", "IsArchivePath2", IDC_CFG_CHBARCHPATH2, 1, 1, 0, 0},
    {Kind::Check, "Archive\\Quick\\Extract", "DelNumDir", IDC_CFG_CHBDELNUMPATH, 1, 1, 0, 0},
    {Kind::Check, "Archive\\Common\\Extract", "InputPath", IDC_CFG_CHBINPUTPATH, 1, 1, 0, 0},
};

// The radio buttons of each radio value.
std::vector<int> RadioButtons(const std::string& name) {
    if (name == "ToPath")
        return {IDC_CFG_RDBPACKPATH1, IDC_CFG_RDBPACKPATH2, IDC_CFG_RDBPACKPATH3,
                IDC_CFG_RDBPACKPATH4};
    if (name == "LhaType")
        return {IDC_CFG_RDBLHA0, IDC_CFG_RDBLHA1, IDC_CFG_RDBLHA5, IDC_CFG_RDBLHA6,
                IDC_CFG_RDBLHA7};
    if (name == "CabType")
        return {IDC_CFG_RDBMSZIP, IDC_CFG_RDBLZX};
    if (name == "ExtractPath")
        return {IDC_CFG_RDBQEARCHIVEPATH, IDC_CFG_RDBQESELECTPATH, IDC_CFG_RDBQEDESKTOPPATH,
                IDC_CFG_RDBQEFIXEDPATH};
    return {IDC_CFG_RDBARCHPATH1, IDC_CFG_RDBARCHPATH2, IDC_CFG_RDBARCHPATH3};
}

int CheckedRadio(const SettingsDialog& dialog, const std::string& name) {
    int checked = 0;
    for (int id : RadioButtons(name))
        if (dialog.Checked(id))
            checked = checked ? -1 : id;
    return checked;
}

} // namespace

// Every control shows its stored value, every change reaches the registry at Apply, and only
// then; Cancel afterwards writes nothing more.
TEST_F(SettingsDialogTest, EveryControlLoadsAndSavesItsValue) {
    PakicoRun pakico(PakicoRun::Layout{true, kAllLibraries, ""});
    const std::string fixedPack = RemoveSlash(pakico.Scratch());
    for (const ControlCase& c : kControls)
        WriteSettingNumber(c.section, c.name, static_cast<DWORD>(c.stored));
    WriteSettingNumber("Setting", "Confirmation1", 1);
    WriteSettingText("Setting", "HotKey", "Shift+Ctrl+F5");
    WriteSettingText("Archive\\Quick\\Add", "FixedPath", fixedPack);
    WriteSettingText("Archive\\Quick\\Extract", "FixedPath", "C:\\Extracted");
    WriteSettingNumber("Archive\\Common\\Add", "DefaultArchType", 3);
    WriteSettingNumber("Archive\\Common\\Add", "DefaultTarType", 2);
    WriteSettingNumber("Archive\\Common\\Add", "DefaultSfxMode", 0);
    WriteSettingNumber("Archive\\Common\\Add", "DefaultLhaSfxMode", 2);
    // A folder history whose key lacks its count: the dialog opens all the same.
    WriteSettingText("history\\Extract\\Path", "0", "C:\\Broken");
    ASSERT_TRUE(pakico.Start());
    const SettingsSnapshot before = TakeSettingsSnapshot();

    SettingsDialog dialog = OpenDialog(pakico);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(0, dialog.Page()) << "the first opening shows 全般";
    EXPECT_FALSE(dialog.ApplyEnabled());
    RECT client{};
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(502, client.right);
    EXPECT_EQ(346, client.bottom);
    RECT frame{};
    GetWindowRect(dialog.Handle(), &frame);
    EXPECT_TRUE(SaveScreenshot(frame, "settings_page0.bmp"));
    // The controls on every page show the page's own background, also under visual styles,
    // where the page is lighter than the dialog around it: a control of each page at its right
    // end, where it has no text, and the inside of group boxes.
    const std::vector<int> backgroundSamples[5] = {
        {IDC_CFG_CHBPREVCONF},
        {IDC_CFG_LABEL19},
        {IDC_CFG_CHBDROPADDOPEN, IDC_CFG_RDGDROPADDOPTIONS},
        {IDC_CFG_CHBFILECOPY, IDC_CFG_RDGQEEXTRACTPATH},
        {IDC_CFG_CHBINPUTPATH}};
    for (int page = 0; page < 5; ++page) {
        if (page > 0) {
            dialog.ShowPage(page);
            EXPECT_EQ(page, dialog.Page());
            EXPECT_FALSE(dialog.ApplyEnabled()) << "page switching enabled Apply, page " << page;
            Sleep(300); // painted, for the picture
            EXPECT_TRUE(SaveScreenshot(frame, "settings_page" + std::to_string(page) + ".bmp"));
        }
        for (int sample : backgroundSamples[page]) {
            const auto [control, beside] = dialog.BackgroundBesidePage(sample);
            EXPECT_NE(CLR_INVALID, beside);
            EXPECT_EQ(beside, control) << "another colour on page " << page << ", " << sample;
        }
    }

    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.name);
        switch (c.kind) {
        case Kind::Check:
            EXPECT_EQ(c.shown == 1, dialog.Checked(c.control));
            break;
        case Kind::Radio:
            EXPECT_EQ(c.shown, CheckedRadio(dialog, c.name));
            break;
        case Kind::Number:
            EXPECT_EQ(c.shown, dialog.Position(c.control));
            break;
        case Kind::Combo:
            EXPECT_EQ(c.shown, dialog.Selection(c.control));
            break;
        }
    }
    EXPECT_EQ("2,048", WindowTextOf(dialog.Item(IDC_CFG_EDTLOGSIZE1)));
    EXPECT_EQ(VK_F5 | ((HOTKEYF_SHIFT | HOTKEYF_CONTROL) << 8), dialog.HotKey());
    EXPECT_EQ("GZip 書庫", dialog.SelectedText(IDC_CFG_CMBFAVARCHIVE));
    EXPECT_EQ("Win16用 Sfx", dialog.SelectedText(IDC_CFG_CMBFAVSFXARCHIVE));
    EXPECT_EQ(fixedPack, dialog.SelectedText(IDC_CFG_HISPACKPATH4));
    EXPECT_EQ((std::vector<std::string>{"C:\\Extracted"}), dialog.Items(IDC_CFG_HISQEFIXEDPATH));
    EXPECT_FALSE(dialog.ApplyEnabled());

    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.name);
        switch (c.kind) {
        case Kind::Check:
            dialog.Click(c.control);
            break;
        case Kind::Radio:
            dialog.Click(c.changeTo);
            break;
        case Kind::Number:
            dialog.SetNumber(c.control, c.changeTo);
            break;
        case Kind::Combo:
            dialog.Select(c.control, c.changeTo);
            break;
        }
        EXPECT_TRUE(dialog.ApplyEnabled());
    }
    dialog.Select(IDC_CFG_CMBFAVARCHIVE, 5); // "Cab 自己解凍書庫"
    dialog.Select(IDC_CFG_CMBFAVSFXARCHIVE, 4);
    EXPECT_EQ(before, TakeSettingsSnapshot()) << "something was written before Apply";

    dialog.Press(IDC_CFG_BTNUPDATE);
    ASSERT_TRUE(WaitUntil([&] { return !dialog.ApplyEnabled(); }, kSettleMs));
    EXPECT_TRUE(dialog.Open());
    // The click gave Apply the keyboard focus; disabled, it has passed it on to a control the
    // keyboard can still use.
    const HWND focus = dialog.Focus();
    EXPECT_NE(nullptr, focus) << "the keyboard focus went nowhere";
    EXPECT_NE(dialog.Item(IDC_CFG_BTNUPDATE), focus);
    EXPECT_TRUE(IsWindowEnabled(focus));
    EXPECT_EQ(dialog.Handle(), GetAncestor(focus, GA_ROOT));
    const SettingsSnapshot after = TakeSettingsSnapshot();
    for (const ControlCase& c : kControls)
        EXPECT_EQ(c.storedAfter, SnapshotNumber(after, c.section, c.name)) << c.name;
    EXPECT_EQ("Shift+Ctrl+F5", SnapshotText(after, "Setting", "HotKey"));
    EXPECT_EQ(2, SnapshotNumber(after, "Archive\\Common\\Add", "DefaultArchType"));
    EXPECT_EQ(0, SnapshotNumber(after, "Archive\\Common\\Add", "DefaultTarType"));
    EXPECT_EQ(1, SnapshotNumber(after, "Archive\\Common\\Add", "DefaultSfxMode"));
    EXPECT_EQ(5, SnapshotNumber(after, "Archive\\Common\\Add", "DefaultLhaSfxMode"));
    EXPECT_EQ(fixedPack, SnapshotText(after, "Archive\\Quick\\Add", "FixedPath"));
    EXPECT_EQ(fixedPack, SnapshotText(after, "history\\ArchiveFile\\Path", "0"));
    EXPECT_EQ(1, SnapshotNumber(after, "history\\ArchiveFile\\Path", "Count"));
    EXPECT_EQ("C:\\Extracted", SnapshotText(after, "Archive\\Quick\\Extract", "FixedPath"));
    EXPECT_EQ(1, SnapshotNumber(after, "history\\Extract\\Path", "Count"));
    EXPECT_EQ(1, SnapshotNumber(after, "Setting", "Confirmation1"));
    EXPECT_FALSE(FileExists(startup_.path() + "Pakico.lnk"));

    // Cancel closes without writing.
    dialog.Press(IDCANCEL);
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_EQ(after, TakeSettingsSnapshot());
}

// OK without a change writes nothing and asks nothing; after a change the stored
// "Confirmation1" decides whether OK asks: No closes without writing, Cancel keeps the dialog.
// The dialog opens again on the page used last.
TEST_F(SettingsDialogTest, OkAsksAsTheConfirmationSettingSays) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    const SettingsSnapshot empty = TakeSettingsSnapshot();

    SettingsDialog dialog = OpenDialog(pakico);
    dialog.ShowPage(3);
    dialog.Press(IDOK);
    ASSERT_TRUE(dialog.WaitClosed()) << "OK without a change did not close at once";
    EXPECT_EQ(empty, TakeSettingsSnapshot());

    dialog = OpenDialog(pakico);
    EXPECT_EQ(3, dialog.Page()) << "not the page used last";
    dialog.Click(IDC_CFG_CHBRECURRENCE);
    dialog.Press(IDOK);
    EXPECT_EQ("オプション内容を更新しますか？", AnswerBox(pakico, dialog, "確認", {"キャンセル"}));
    EXPECT_TRUE(dialog.Open()) << "Cancel closed the dialog";
    dialog.Press(IDOK);
    AnswerBox(pakico, dialog, "確認", {"いいえ(&N)"});
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_EQ(empty, TakeSettingsSnapshot()) << "No wrote the settings";

    dialog = OpenDialog(pakico);
    dialog.Click(IDC_CFG_CHBRECURRENCE);
    // Ticking "開始確認はしない" does not count before it is saved.
    dialog.Click(IDC_CFG_CHBPREVCONF);
    dialog.Press(IDOK);
    AnswerBox(pakico, dialog, "確認", {"はい(&Y)"});
    ASSERT_TRUE(dialog.WaitClosed());
    SettingsSnapshot saved = TakeSettingsSnapshot();
    EXPECT_EQ(1, SnapshotNumber(saved, "Archive\\Quick\\Extract", "Recurse"));
    EXPECT_EQ(1, SnapshotNumber(saved, "Setting", "Confirmation1"));

    // Stored, it saves without asking.
    dialog = OpenDialog(pakico);
    dialog.Click(IDC_CFG_CHBRECURRENCE);
    dialog.Press(IDOK);
    ASSERT_TRUE(dialog.WaitClosed()) << "OK asked although 開始確認はしない is stored";
    EXPECT_EQ(0, SnapshotNumber(TakeSettingsSnapshot(), "Archive\\Quick\\Extract", "Recurse"));
}

// A fixed compression folder that does not exist is refused from any page, by OK and Apply
// alike: the warning names it, the dialog shows 圧縮(1) and nothing is written.
TEST_F(SettingsDialogTest, MissingFixedFolderIsRefusedFromEveryPage) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    const std::string missing = pakico.Scratch() + "gone";
    WriteSettingNumber("Setting", "Confirmation1", 1);
    WriteSettingNumber("Archive\\Quick\\Add", "ToPath", 3);
    WriteSettingText("Archive\\Quick\\Add", "FixedPath", missing);
    ASSERT_TRUE(pakico.Start());
    const SettingsSnapshot before = TakeSettingsSnapshot();

    SettingsDialog dialog = OpenDialog(pakico);
    EXPECT_TRUE(dialog.Enabled(IDC_CFG_HISPACKPATH4));
    EXPECT_TRUE(dialog.Enabled(IDC_CFG_BTNPACKPATH4));
    for (int page : {0, 2, 3, 4}) {
        for (int button : {IDOK, IDC_CFG_BTNUPDATE}) {
            SCOPED_TRACE(page);
            dialog.ShowPage(page);
            dialog.Click(IDC_CFG_CHBRECURRENCE);
            dialog.ShowPage(page);
            dialog.Press(button);
            EXPECT_EQ("フォルダ:" + missing + "\r\nフォルダが存在しません",
                      AnswerBox(pakico, dialog, "警告", {"OK"}));
            EXPECT_TRUE(dialog.Open());
            EXPECT_EQ(1, dialog.Page());
            EXPECT_EQ(before, TakeSettingsSnapshot());
        }
    }
    // Another destination makes the folder irrelevant.
    dialog.Click(IDC_CFG_RDBPACKPATH2);
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_HISPACKPATH4));
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_BTNPACKPATH4));
    dialog.Press(IDOK);
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_EQ(1, SnapshotNumber(TakeSettingsSnapshot(), "Archive\\Quick\\Add", "ToPath"));
}

// The rules between controls, each shown by the enabled state or tick it leaves. The dialog is
// opened with a double click on the cat.
TEST_F(SettingsDialogTest, DependentControlsFollowTheirRules) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    const POINT cat = pakico.Centre();
    SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, cat);
    for (int click = 0; click < 2; ++click) {
        SendPointer(MOUSEEVENTF_LEFTDOWN, cat);
        SendPointer(MOUSEEVENTF_LEFTUP, cat);
    }
    HWND opened = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            opened = FindDialog(pakico.ProcessId(), kCaption);
            return opened && IsWindowVisible(opened);
        },
        kSettleMs))
        << "a double click on the cat opened no settings";
    Sleep(300);
    SettingsDialog dialog(opened);

    // Empty tree: desktop for both destinations, the extraction folder box off, MSZIP with its
    // level off, folder information automatic with its three boxes off.
    EXPECT_TRUE(dialog.Checked(IDC_CFG_RDBPACKPATH3));
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_HISPACKPATH4));
    EXPECT_TRUE(dialog.Checked(IDC_CFG_RDBQESELECTPATH)) << "ExtractPath defaults to 1";
    EXPECT_TRUE(dialog.Checked(IDC_CFG_RDBARCHPATH1));
    EXPECT_EQ(1, dialog.Selection(IDC_CFG_CMBDUPLICATE));
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_EDTQPCABCOMPLEVEL));
    for (int id :
         {IDC_CFG_CHBDROPADDUSEDIR, IDC_CFG_CHBDROPADDABSOLUTEPATH, IDC_CFG_CHBDROPADDSUBDIR})
        EXPECT_FALSE(dialog.Enabled(id)) << id;
    EXPECT_TRUE(dialog.Enabled(IDC_CFG_CHBDROPADDADDPATH));
    EXPECT_TRUE(dialog.Enabled(IDC_CFG_CHBDROPADDOPEN));
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_HOTSETUPKEYRUN)) << "no start-up shortcut yet";
    EXPECT_EQ("", WindowTextOf(dialog.Item(IDC_CFG_LBLQPSELECTNEWARCHIVE)));

    struct Step {
        int click;
        std::vector<std::pair<int, bool>> enabled;
        std::vector<std::pair<int, bool>> checked;
    } steps[] = {
        {IDC_CFG_RDBQEFIXEDPATH,
         {{IDC_CFG_HISQEFIXEDPATH, true},
          {IDC_CFG_BTNQEFIXEDPATH, true},
          {IDC_CFG_LBLQEFIXEDPATH, true}},
         {}},
        {IDC_CFG_RDBQEARCHIVEPATH,
         {{IDC_CFG_HISQEFIXEDPATH, false}, {IDC_CFG_BTNQEFIXEDPATH, false}},
         {{IDC_CFG_RDBQEFIXEDPATH, false}}},
        {IDC_CFG_RDBPACKPATH4, {{IDC_CFG_HISPACKPATH4, true}, {IDC_CFG_BTNPACKPATH4, true}}, {}},
        {IDC_CFG_RDBPACKPATH1, {{IDC_CFG_HISPACKPATH4, false}, {IDC_CFG_LBLPACKPATH4, false}}, {}},
        {IDC_CFG_RDBLZX,
         {{IDC_CFG_EDTQPCABCOMPLEVEL, true},
          {IDC_CFG_UPDQPCABCOMPLEVEL, true},
          {IDC_CFG_LBLCABCOMPLEVEL, true}},
         {}},
        {IDC_CFG_RDBMSZIP, {{IDC_CFG_EDTQPCABCOMPLEVEL, false}}, {}},
        {IDC_CFG_CHBDROPADDAUTOMATICE,
         {{IDC_CFG_CHBDROPADDUSEDIR, true},
          {IDC_CFG_CHBDROPADDABSOLUTEPATH, true},
          {IDC_CFG_CHBDROPADDSUBDIR, true}},
         {}},
        {IDC_CFG_CHBDROPADDUSEDIR,
         {{IDC_CFG_CHBDROPADDUSEDIR, true},
          {IDC_CFG_CHBDROPADDABSOLUTEPATH, false},
          {IDC_CFG_CHBDROPADDSUBDIR, false}},
         {{IDC_CFG_CHBDROPADDSUBDIR, true}}},
        {IDC_CFG_CHBFILECOPY, {}, {{IDC_CFG_CHBFILECOPY, true}, {IDC_CFG_CHBFILEMOVE, false}}},
        {IDC_CFG_CHBFILEMOVE, {}, {{IDC_CFG_CHBFILECOPY, false}, {IDC_CFG_CHBFILEMOVE, true}}},
        {IDC_CFG_CHBFILEMOVE, {}, {{IDC_CFG_CHBFILECOPY, false}, {IDC_CFG_CHBFILEMOVE, false}}},
        {IDC_CFG_CHBSETUPTASKTRAY,
         {{IDC_CFG_HOTSETUPKEYRUN, true}, {IDC_CFG_LBLHOTKEYRUN, true}},
         {}},
        {IDC_CFG_CHBQPSELECTNEWARCHIVE, {}, {{IDC_CFG_CHBQPSELECTNEWARCHIVE, false}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.click);
        dialog.Click(step.click);
        for (const auto& [id, on] : step.enabled)
            EXPECT_EQ(on, dialog.Enabled(id)) << id;
        for (const auto& [id, on] : step.checked)
            EXPECT_EQ(on, dialog.Checked(id)) << id;
    }
    EXPECT_EQ("-  Lha 書庫", WindowTextOf(dialog.Item(IDC_CFG_LBLQPSELECTNEWARCHIVE)));
    dialog.Press(IDCANCEL);
    ASSERT_TRUE(dialog.WaitClosed());
}

// The archive type lists follow the libraries beside the program; the Zip self-extractor's
// library and an archiver library (which the cat's refresh has missed a moment ago) are seen at
// the next opening once they are there. Without any library the lists are empty and the stored
// default stays as it was.
TEST_F(SettingsDialogTest, ArchiveTypesFollowTheLibraries) {
    {
        PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll", "Zip32j.dll"}, ""});
        ASSERT_TRUE(pakico.Start());
        SettingsDialog dialog = OpenDialog(pakico);
        EXPECT_EQ((std::vector<std::string>{"Lha 書庫", "Lha 自己解凍書庫", "Zip 書庫"}),
                  dialog.Items(IDC_CFG_CMBFAVARCHIVE));
        EXPECT_EQ((std::vector<std::string>{"Dos用 Sfx", "Win16用 Sfx", "Win16用 SfxM",
                                            "Win32用 Sfx", "Win32用 SfxM"}),
                  dialog.Items(IDC_CFG_CMBFAVSFXARCHIVE));
        EXPECT_EQ("Win32用 Sfx", dialog.SelectedText(IDC_CFG_CMBFAVSFXARCHIVE));
        dialog.Press(IDCANCEL);
        ASSERT_TRUE(dialog.WaitClosed());

        ASSERT_TRUE(CopyFileA((ProgramFolder() + "ZCrypt32.DLL").c_str(),
                              (pakico.Folder() + "ZCrypt32.DLL").c_str(), FALSE));
        CopyStandin(pakico.Folder(), "cab32.dll");
        dialog = OpenDialog(pakico);
        EXPECT_EQ((std::vector<std::string>{"Lha 書庫", "Lha 自己解凍書庫", "Zip 書庫",
                                            "Zip 自己解凍書庫", "Cab 書庫", "Cab 自己解凍書庫"}),
                  dialog.Items(IDC_CFG_CMBFAVARCHIVE));
        dialog.Press(IDCANCEL);
        ASSERT_TRUE(dialog.WaitClosed());
    }
    ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));
    PakicoRun pakico(PakicoRun::Layout{true, {}, ""});
    WriteSettingNumber("Setting", "Confirmation1", 1);
    WriteSettingNumber("Archive\\Common\\Add", "DefaultArchType", 6);
    // Stored choices that no control offers: shown as none, and left as they are.
    WriteSettingNumber("Archive\\Quick\\Add", "LhaType", 7);
    WriteSettingNumber("Archive\\Quick\\Add", "CabType", 5);
    WriteSettingNumber("Archive\\Quick\\Extract", "Duplicate", 9);
    ASSERT_TRUE(pakico.Start());
    SettingsDialog dialog = OpenDialog(pakico);
    EXPECT_TRUE(dialog.Items(IDC_CFG_CMBFAVARCHIVE).empty());
    EXPECT_TRUE(dialog.Items(IDC_CFG_CMBFAVSFXARCHIVE).empty());
    EXPECT_EQ(-1, dialog.Selection(IDC_CFG_CMBFAVARCHIVE));
    EXPECT_EQ(-1, dialog.Selection(IDC_CFG_CMBDUPLICATE));
    EXPECT_EQ(0, CheckedRadio(dialog, "LhaType"));
    EXPECT_EQ(0, CheckedRadio(dialog, "CabType"));
    dialog.Click(IDC_CFG_CHBRECURRENCE);
    dialog.Press(IDOK);
    ASSERT_TRUE(dialog.WaitClosed());
    SettingsSnapshot saved = TakeSettingsSnapshot();
    EXPECT_EQ(6, SnapshotNumber(saved, "Archive\\Common\\Add", "DefaultArchType"));
    EXPECT_EQ(-99999, SnapshotNumber(saved, "Archive\\Common\\Add", "DefaultSfxMode"));
    EXPECT_EQ(-99999, SnapshotNumber(saved, "Archive\\Common\\Add", "DefaultLhaSfxMode"));
    EXPECT_EQ(7, SnapshotNumber(saved, "Archive\\Quick\\Add", "LhaType"));
    EXPECT_EQ(5, SnapshotNumber(saved, "Archive\\Quick\\Add", "CabType"));
    EXPECT_EQ(9, SnapshotNumber(saved, "Archive\\Quick\\Extract", "Duplicate"));
    EXPECT_EQ(1, SnapshotNumber(saved, "Archive\\Quick\\Extract", "Recurse"));
}

// Residence at start-up: ticking it writes "Pakico.lnk" to the Startup folder for this program;
// the hot key typed and confirmed with Enter is saved and registered at the next start, also
// one on the number pad; unticking removes the shortcut. With a help file of the old format
// beside the program, Help opens the page's topic in the old engine, and F1 on a control with a
// topic of its own opens that one the same way.
TEST_F(SettingsDialogTest, StartupShortcutAndHotKey) {
    const std::string shortcut = startup_.path() + "Pakico.lnk";
    StandinHelpEngine help;
    std::string folder;
    {
        PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
        pakico.PutHelpFile("PAKICO.HLP");
        folder = pakico.Folder();
        WriteSettingNumber("Setting", "Confirmation1", 1);
        ASSERT_TRUE(pakico.Start());
        SettingsDialog dialog = OpenDialog(pakico);
        EXPECT_FALSE(dialog.Checked(IDC_CFG_CHBSETUPTASKTRAY));
        dialog.Click(IDC_CFG_CHBSETUPTASKTRAY);
        dialog.Front();
        dialog.ClickControl(IDC_CFG_HOTSETUPKEYRUN);
        // Shift alone is no modifier for a hot key: the box makes it Shift+Ctrl.
        PressChord({VK_SHIFT}, 'A');
        EXPECT_EQ(0x0341, dialog.HotKey());
        PressChord({VK_CONTROL, VK_MENU}, 'P');
        EXPECT_EQ(0x0650, dialog.HotKey());
        // The number pad's 5, with Num Lock on.
        PressChord({VK_CONTROL, VK_MENU}, VK_NUMPAD5);
        EXPECT_EQ(0x0665, dialog.HotKey());
        // Enter presses OK while the box still has the focus.
        PressKey(VK_RETURN);
        ASSERT_TRUE(dialog.WaitClosed());
        SettingsSnapshot saved = TakeSettingsSnapshot();
        const std::string numberPad = SnapshotText(saved, "Setting", "HotKey");
        EXPECT_EQ(0u, numberPad.find("Ctrl+Alt+")) << "stored as \"" << numberPad << "\"";
        EXPECT_GT(numberPad.size(), std::string("Ctrl+Alt+").size());
        ShortcutFile file = ReadShortcut(shortcut);
        ASSERT_TRUE(file.valid) << "no shortcut in the Startup folder";
        EXPECT_EQ(folder + "Pakico.exe", file.target);
        EXPECT_EQ(RemoveSlash(folder), file.workingDir);
        EXPECT_EQ("", file.arguments);
        EXPECT_EQ(1u, file.showCommand);
        EXPECT_EQ(0, file.hotKey);

        dialog = OpenDialog(pakico);
        EXPECT_TRUE(dialog.Checked(IDC_CFG_CHBSETUPTASKTRAY));
        dialog.Press(IDC_CFG_BTNHELP);
        StandinHelpEngine::Request asked = help.WaitForRequest(0);
        EXPECT_EQ(static_cast<unsigned>(HELP_CONTEXT), asked.command);
        EXPECT_EQ(2104, asked.data) << "the topic of 全般";
        EXPECT_EQ(folder + "PAKICO.HLP", asked.file);
        // The radio buttons of the methods carry their groups' topics: they take the focus,
        // the groups never do.
        const std::pair<int, long> ownTopics[] = {{IDC_CFG_RDBLHA5, 99018},
                                                  {IDC_CFG_RDBMSZIP, 88005},
                                                  {IDC_CFG_CHBDROPADDOPEN, 99272},
                                                  {IDC_CFG_RDBARCHPATH2, 88025}};
        dialog.Front();
        for (const auto& [control, topic] : ownTopics) {
            SCOPED_TRACE(control);
            const std::size_t seen = help.Requests().size();
            dialog.Click(control); // the click gives it the focus
            ASSERT_EQ(dialog.Item(control), dialog.Focus());
            PressKey(VK_F1);
            asked = help.WaitForRequest(seen);
            EXPECT_EQ(static_cast<unsigned>(HELP_CONTEXT), asked.command) << "not as a pop-up";
            EXPECT_EQ(topic, asked.data);
            EXPECT_EQ(folder + "PAKICO.HLP", asked.file);
        }
        EXPECT_TRUE(dialog.Open());
        dialog.Press(IDCANCEL);
        EXPECT_TRUE(dialog.WaitClosed());
    }
    ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));

    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    PressChord({VK_CONTROL, VK_MENU}, VK_NUMPAD5);
    EXPECT_EQ(1u, pakico.WaitForMorva(1).size()) << "the saved hot key was not registered";

    // A new hot key alone is a change, even when Enter confirms it in the box itself.
    SettingsDialog dialog = OpenDialog(pakico);
    ASSERT_TRUE(dialog.Checked(IDC_CFG_CHBSETUPTASKTRAY));
    EXPECT_EQ(0x0665, dialog.HotKey());
    dialog.Front();
    dialog.ClickControl(IDC_CFG_HOTSETUPKEYRUN);
    PressChord({VK_CONTROL, VK_MENU}, VK_HOME, true);
    EXPECT_EQ(0x0624, dialog.HotKey() & 0x07FF);
    EXPECT_TRUE(dialog.ApplyEnabled()) << "the typed hot key did not count as a change";
    PressKey(VK_RETURN);
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_EQ("Ctrl+Alt+Home", SnapshotText(TakeSettingsSnapshot(), "Setting", "HotKey"));

    // The grey Home shares its scan code with the number pad's 7: the box is told it is the
    // extended key, or it would name it after the pad's key.
    dialog = OpenDialog(pakico);
    EXPECT_EQ((HOTKEYF_EXT | HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_HOME, dialog.HotKey());
    ASSERT_TRUE(dialog.Checked(IDC_CFG_CHBSETUPTASKTRAY));
    dialog.Click(IDC_CFG_CHBSETUPTASKTRAY);
    EXPECT_FALSE(dialog.Enabled(IDC_CFG_HOTSETUPKEYRUN));
    dialog.Press(IDOK);
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_FALSE(FileExists(shortcut)) << "unticking left the shortcut";
    EXPECT_EQ("Ctrl+Alt+Home", SnapshotText(TakeSettingsSnapshot(), "Setting", "HotKey"))
        << "a disabled hot-key box still saves its value";
}

// The help file beside the program opens in the platform's HTML help, from the system folder and
// not a library of its name beside the program: Help shows the help file's page about the page
// shown, F1 on a control the page about the control's page, and once the dialog has closed with
// its help window the menu's Help opens the contents; the old engine is asked for nothing.
// Without a help file Help says where the readme is instead, and the dialog stays open.
TEST_F(SettingsDialogTest, HelpOpensTheHelpFileOrSaysWhereTheReadmeIs) {
    StandinHelpEngine oldEngine;
    {
        PakicoRun pakico;
        pakico.PutHelpFile("PAKICO.CHM");
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "Unlha32.dll").c_str(),
                              (pakico.Folder() + "hhctrl.ocx").c_str(), FALSE));
        ASSERT_TRUE(pakico.Start());
        SettingsDialog dialog = OpenDialog(pakico);
        dialog.ShowPage(3);
        dialog.Press(IDC_CFG_BTNHELP);
        HWND help = WaitForHtmlHelp(pakico.ProcessId());
        ASSERT_NE(nullptr, help) << "no help window";
        EXPECT_EQ("パキコ ヘルプ", WindowTextOf(help));
        EXPECT_TRUE(WaitUntil([&] { return HtmlHelpPageShown(help) == "解凍(1)"; }, kSettleMs))
            << HtmlHelpPageShown(help);
        const std::pair<int, std::string> controls[] = {{IDC_CFG_RDBLHA5, "圧縮(2)"},
                                                        {IDC_CFG_CHBSETUPTASKTRAY, "全般"},
                                                        {IDC_CFG_RDBARCHPATH2, "解凍(2)"}};
        for (const auto& [control, page] : controls) {
            dialog.Front();
            dialog.Click(control);
            ASSERT_EQ(dialog.Item(control), dialog.Focus());
            PressKey(VK_F1);
            EXPECT_TRUE(WaitUntil([&] { return HtmlHelpPageShown(help) == page; }, kSettleMs))
                << page << ": " << HtmlHelpPageShown(help);
        }
        char system[MAX_PATH] = "";
        GetSystemDirectoryA(system, MAX_PATH);
        EXPECT_EQ(0, lstrcmpiA((std::string(system) + "\\hhctrl.ocx").c_str(),
                               LoadedModulePath(pakico.ProcessId(), "hhctrl.ocx").c_str()))
            << LoadedModulePath(pakico.ProcessId(), "hhctrl.ocx");
        dialog.Press(IDCANCEL);
        EXPECT_TRUE(dialog.WaitClosed());

        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
        ASSERT_NE(nullptr, pakico.OpenTrayMenu());
        // "ヘルプ(&H)" comes before "非表示(&H)": the first H reaches it.
        PressKeys({'H', VK_RETURN});
        help = WaitForHtmlHelp(pakico.ProcessId());
        ASSERT_NE(nullptr, help) << "no help window from the menu";
        EXPECT_TRUE(
            WaitUntil([&] { return HtmlHelpPageShown(help) == "パキコの使い方"; }, kSettleMs))
            << HtmlHelpPageShown(help);
    }
    ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));

    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    SettingsDialog dialog = OpenDialog(pakico);
    dialog.Press(IDC_CFG_BTNHELP);
    const std::string note = AnswerBox(pakico, dialog, "情報", {"OK"});
    EXPECT_NE(std::string::npos, note.find("同じフォルダにある説明書 Pakico.txt")) << note;
    EXPECT_EQ(nullptr, WaitForHtmlHelp(pakico.ProcessId(), 0));
    EXPECT_TRUE(dialog.Open());
    EXPECT_TRUE(oldEngine.Requests().empty()) << "the old help engine was asked";
}

// A shortcut that cannot be written (no Startup folder named by the system) is reported with
// the writer's message; the save stops there and the dialog stays open. A value of the wrong
// type stops the loading: the dialog does not open at all, the error names the value, nothing
// is written, and the cat is ready again.
TEST_F(SettingsDialogTest, FailuresStopBeforeAnythingIsLost) {
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    WriteSettingNumber("Setting", "Confirmation1", 1);
    ASSERT_TRUE(pakico.Start());
    {
        ShellFolderOverride noStartup("Startup", "");
        SettingsDialog dialog = OpenDialog(pakico);
        dialog.Click(IDC_CFG_CHBSETUPTASKTRAY);
        dialog.Press(IDOK);
        EXPECT_EQ("ShellLink Write Error.", AnswerErrorBox(kSettleMs));
        EXPECT_TRUE(dialog.Open());
        EXPECT_EQ("", SnapshotText(TakeSettingsSnapshot(), "Setting", "HotKey"));
        EXPECT_FALSE(FileExists("\\Pakico.lnk"));
        dialog.Press(IDCANCEL);
        EXPECT_TRUE(dialog.WaitClosed());
    }

    const std::string shortcut = startup_.path() + "Pakico.lnk";
    WriteFileBytes(shortcut, "a shortcut");
    WriteSettingText("Setting", "HotKey", "Ctrl+Alt+K");
    WriteSettingText("Archive\\Quick\\Add", "FixedPath", "C:\\Packed");
    WriteSettingNumber("history\\ArchiveFile\\Path", "Count", 1);
    WriteSettingText("history\\ArchiveFile\\Path", "0", "C:\\Recent");
    WriteSettingText("Archive", "LogSize", "64");
    const SettingsSnapshot before = TakeSettingsSnapshot();
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    PressKey('G');
    EXPECT_EQ("'LogSize' のデータ型が不正です", AnswerErrorBox(kSettleMs));
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "a window is still open";
    EXPECT_EQ(nullptr, FindDialog(pakico.ProcessId(), kCaption));
    EXPECT_EQ(before, TakeSettingsSnapshot());
    EXPECT_TRUE(FileExists(shortcut));
}
