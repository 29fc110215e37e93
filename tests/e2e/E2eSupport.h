// Driving the real Pakico.exe from outside as a person would: its run folder, its windows,
// its menus, keys typed at it, files dragged onto it, and screenshots of the cat.
#pragma once

#include "support/ProgramRun.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

constexpr int kCatWidth = 58;
constexpr int kCatHeight = 59;
// Bounds for things that happen "at once" or "within a second" on a calm machine.
constexpr unsigned kStartMs = 20000;
constexpr unsigned kSettleMs = 5000;
// What the program tells when the notification area will not take its icon.
constexpr const char* kIconNotShown = "通知領域にパキコのアイコンを表示できません。\r\n"
                                      "パキコのメニューは、猫を右クリックすると開きます。";
// Drop effects as DragSource reports them.
constexpr int kEffectNone = 0;
constexpr int kEffectCopy = 1;
constexpr int kEffectMove = 2;

// The registry tree the program shares with its companion.
void ClearSettings();
void WriteSettingNumber(const std::string& subkey, const std::string& name, DWORD value);
void WriteSettingText(const std::string& subkey, const std::string& name, const std::string& text);
// Any registry type with any bytes, as another program may have left them.
void WriteSettingData(const std::string& subkey, const std::string& name, DWORD type,
                      const std::string& data);
// The cat's saved place ("Dialog\Pakico" Left and Top), where the next start puts it.
void SaveCatPlace(DWORD left, DWORD top);
// False when the value is missing or not a number.
bool ReadSettingNumber(const std::string& subkey, const std::string& name, DWORD& value);
// Every value of the tree, keyed by its key path (relative, lower case) and name, as its type
// and bytes: two snapshots are equal when nothing was written in between that changed a value
// or added a key.
using SettingsSnapshot = std::map<std::string, std::string>;
SettingsSnapshot TakeSettingsSnapshot();
// The value of a snapshot as a number or a text; "" when it is missing or of another type.
std::string SnapshotText(const SettingsSnapshot& snapshot, const std::string& subkey,
                         const std::string& name);
long long SnapshotNumber(const SettingsSnapshot& snapshot, const std::string& subkey,
                         const std::string& name, long long missing = -99999);
// False when the value is missing or not text.
bool ReadSettingText(const std::string& subkey, const std::string& name, std::string& text);

// True while some copy of the program holds its single-instance mutex.
bool CopyRunning();

// Top-level windows of a class (any class when null), of one process or (processId 0) of every
// process.
std::vector<HWND> TopWindows(const char* className, DWORD processId = 0);
// The visible popup menu window of a process, or null.
HWND VisibleMenu(DWORD processId);
// A top-level dialog (class "#32770") of the process with this caption, or null.
HWND FindDialog(DWORD processId, const std::string& caption);
// Waits for that dialog to show and settle; null when it does not within `ms`.
HWND WaitForDialog(DWORD processId, const std::string& caption, unsigned ms = kSettleMs);
// Gives a dialog of the program a command (IDOK, IDCANCEL, a message's answer such as IDNO) and
// waits until it has gone; false when it stays.
bool CloseDialog(HWND dialog, int command);
// The text of a window of any process.
std::string WindowTextOf(HWND window);
// A child control of a window by its text, or null.
HWND FindChildByText(HWND parent, const std::string& text);

// Keys go to the foreground window, as a person's would.
void KeyDown(WORD key);
void KeyUp(WORD key);
void PressKey(WORD key);
void PressKeys(const std::vector<WORD>& keys);
// The real pointer: a move, a button pressed or released (MOUSEEVENTF_...) at a screen point.
using testing_support::SendPointer;
// A right click with the real pointer at a screen point.
void RightClickAt(POINT at);
// Rests the real pointer on the middle of a window; the text of the hint the process then
// shows, or "".
std::string HintShownOver(DWORD processId, HWND window);

// A key pressed and released while modifiers (VK_CONTROL, ...) are held, as one input call.
// `extended` marks the key as one of the extended block (the grey Home, arrows, Del ...), as
// a real keyboard does; without it Home is the number pad's 7.
void PressChord(const std::vector<WORD>& modifiers, WORD key, bool extended = false);
// Ctrl+Alt+L, the hot key the tests register.
void PressCtrlAltL();

// Saves the screen area as a 24-bit BMP named `name` in "screenshots\" beside the test program.
bool SaveScreenshot(const RECT& area, const std::string& name);
// The colours of the screen area's pixels, row by row from the top; empty when it cannot be read.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// The stand-in companion's starts recorded so far (finished ones only).
std::size_t MorvaRunCount(const std::string& folder);

// One run of Pakico.exe in a folder of its own, with the stand-in companion and the archiver
// libraries a case asks for. The process is ended when the object goes, if still running.
class PakicoRun {
  public:
    struct Layout {
        bool companion = true;
        std::vector<std::string> libraries;
        // A folder inside the temporary one that holds the program, e.g. with spaces in it.
        std::string subfolder;
    };
    PakicoRun();
    explicit PakicoRun(const Layout& layout);
    ~PakicoRun();
    PakicoRun(const PakicoRun&) = delete;
    PakicoRun& operator=(const PakicoRun&) = delete;

    // The folder with Pakico.exe, ending in '\'.
    const std::string& Folder() const { return folder_; }
    // Puts a help file beside the program: "PAKICO.CHM", the one built with it, or
    // "PAKICO.HLP", a file of the old format's name for the stand-in help engine.
    void PutHelpFile(const std::string& name);
    // A scratch folder for the files a case drops, apart from the program's.
    const std::string& Scratch() const { return scratch_.path(); }

    // Starts the program and waits for its window and (unless told not to, for a start
    // without a taskbar) its notification-area icon.
    ::testing::AssertionResult Start(bool withTrayIcon = true);
    // Start() starts the program under a Unix locale (LANG and LC_ALL), such as "C". Wine gives
    // a program the ANSI code page of its Unix process's locale, which the environment of
    // CreateProcess does not reach: the program is started through Wine's own loader.
    void UseUnixLocale(const std::string& locale) { unixLocale_ = locale; }
    // Waits for the notification-area icon's window of a program started without one.
    bool WaitForTray(unsigned ms);
    DWORD ProcessId() const { return run_ ? run_->ProcessId() : 0; }
    bool Running() const { return run_ && run_->Running(); }
    long WaitForExit(unsigned ms) { return run_ ? run_->WaitForExit(ms) : -1; }
    HWND Main() const { return main_; }
    HWND Tray() const { return tray_; }

    RECT Frame() const;
    POINT Centre() const;
    // "CoolForm1" ... "CoolForm4" for the one shown layer; "" when none, "several" if more.
    std::string Layer() const;
    bool WaitForLayer(const std::string& layer, unsigned ms) const;
    bool Screenshot(const std::string& name) const { return SaveScreenshot(Frame(), name); }

    // A right click on the notification-area icon; the menu window, or null within `ms`.
    HWND OpenTrayMenu(unsigned ms = kSettleMs);
    // A right click with the real pointer on the cat; the menu window, or null within `ms`.
    HWND OpenCatMenu(unsigned ms = kSettleMs);
    HWND WaitForMenu(unsigned ms) const;
    bool WaitForMenuClosed(unsigned ms) const;
    // Chooses "常駐の解除(&E)" from the notification-area menu.
    bool ChooseEnd();

    // The companion's starts seen so far and a wait for more.
    std::size_t MorvaRuns() const { return MorvaRunCount(folder_); }
    std::vector<testing_support::MorvaRun> WaitForMorva(std::size_t count,
                                                        unsigned ms = 10000) const;

  private:
    std::string LayerOnce() const;
    testing_support::TempFolder temp_{"e2e"};
    testing_support::TempFolder scratch_{"drop"};
    std::string folder_;
    std::string unixLocale_;
    std::unique_ptr<testing_support::ProgramRun> run_;
    HWND main_ = nullptr;
    HWND tray_ = nullptr;
};

// Drags files from another process onto a screen point with real input (DragSource.exe):
// options such as "--right" or "--shift". The drop effect answered, or DragSource's own code
// (100 and above) when the drag went wrong.
int DragFiles(const std::vector<std::string>& options, POINT to,
              const std::vector<std::string>& files, unsigned ms = 40000);

// What DragSource saw of one drag: the drop effect answered (or its own code, 100 and above,
// when the drag went wrong) and the last cursor effect the target asked for.
struct DragOutcome {
    int effect;
    int cursor;
    // The performance counter when the button was released, and when the drag loop returned
    // (the source is held until then).
    long long released;
    long long returned;
    // The drop was taken by DragSource's own window (one made with --window).
    bool ownWindow;
    // Virtual files read after the drop: 2 none were, 1 the target ended reading them with
    // success, 0 with failure, 3 it did not end.
    int asyncEnd;
};
// Drags like DragFiles, then, when `thenFiles` are given, drags those to `thenTo` at once after
// the first drag has ended (with the left button when `thenOptions` has "--left"); one outcome
// for each drag.
std::vector<DragOutcome> DragFilesReported(const std::vector<std::string>& options, POINT to,
                                           const std::vector<std::string>& files,
                                           const std::vector<std::string>& thenFiles = {},
                                           POINT thenTo = {},
                                           const std::vector<std::string>& thenOptions = {});

// Drags the files towards the point and, once the drag rests over the target, stops the drag
// source dead, as a source that hangs or crashes is: it calls the target no more. Then lets the
// button go, runs `meanwhile` and ends the source. False when the drag never rested there.
bool DragAndStopSourceMidway(POINT to, const std::vector<std::string>& files,
                             const std::function<void()>& meanwhile);

// Another program in front with a borderless window over an area of the screen (a full-screen
// window when it covers the monitor): DragSource with a window of its own, which takes drops
// itself. It waits in front until Drag() sends it on its one drag of the files to the point,
// and closes after that drag (or, when never sent, at the end of the object). `options` are
// DragSource's for its window ("--zoomed", "--topmost").
class WindowInFront {
  public:
    WindowInFront(const RECT& area, POINT to, const std::vector<std::string>& files,
                  const std::vector<std::string>& options = {});
    ~WindowInFront();
    WindowInFront(const WindowInFront&) = delete;
    WindowInFront& operator=(const WindowInFront&) = delete;

    // Its window once it is the foreground window; null when it is not within `ms`.
    HWND WaitInFront(unsigned ms);
    // Makes the drag and waits until the window has closed; what DragSource saw of the drag
    // (effect 100 and above when it went wrong).
    DragOutcome DragAndClose();

  private:
    testing_support::TempFolder folder_{"drag"};
    win::ScopedHandle go_;
    std::unique_ptr<testing_support::ProgramRun> source_;
};

// The program's standard error box (the platform's message box with the program's title),
// or null when none shows within `ms`.
HWND WaitForErrorBox(unsigned ms);
// The box's message; it is answered with OK and has gone afterwards.
std::string AnswerErrorBox(HWND box);
// Waits for an error box and answers it; its message, or empty when none showed.
std::string AnswerErrorBox(unsigned ms);

// While another window of the program is open: the resting picture, and no menu from the
// notification-area icon.
void ExpectRestingWithoutTrayMenu(PakicoRun& pakico);

// The full path of a module loaded in another process, found by its file name; empty when it
// is not loaded.
std::string LoadedModulePath(DWORD processId, const std::string& fileName);

// A hidden top-level window of a class that other programs look for, served by a thread of
// its own. `answer` sees each message first; it returns true, with the result set, for those
// it answers. With `onlyOne`, windows of the class already there are closed first.
class StandinWindow {
  public:
    using Answer = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    StandinWindow(const std::string& className, DWORD exStyle, Answer answer, bool onlyOne = false);
    ~StandinWindow();
    StandinWindow(const StandinWindow&) = delete;
    StandinWindow& operator=(const StandinWindow&) = delete;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::string className_;
    Answer answer_;
    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

// A taskbar of the test's own in front of the shell's: it answers the notification-area requests
// of every program itself, refusing them as a taskbar that has not started yet does, taking them
// but answering too late as a busy one at sign-in does (the program sees a failure), or taking
// them once told to; it counts the icons it is asked to add.
class StandinTaskbar {
  public:
    StandinTaskbar();
    StandinTaskbar(const StandinTaskbar&) = delete;
    StandinTaskbar& operator=(const StandinTaskbar&) = delete;

    enum class Mode { Refusing, Late, Accepting };
    void SetMode(Mode mode) { mode_ = mode; }
    void Accept(bool accept) { mode_ = accept ? Mode::Accepting : Mode::Refusing; }
    // The shell started again: a new taskbar that knows no icons tells every program so.
    void Restart(Mode mode);
    // Icons taken, and requests to add one (taken or not).
    int Adds() const { return adds_; }
    int Asked() const { return asked_; }
    // The windows of the icons it holds.
    std::vector<HWND> Icons() const;
    // The tip of the last icon added or changed with a tip, in the ANSI code page.
    std::string Tip() const;

  private:
    bool Answer(UINT message, LPARAM lParam, LRESULT& result);
    std::atomic<Mode> mode_{Mode::Refusing};
    std::atomic<int> adds_{0}, asked_{0};
    mutable std::mutex lock_;
    std::string tip_;
    std::vector<HWND> icons_;
    StandinWindow window_; // last: its thread uses the members above
};

// A help engine of the test's own: the window the platform's WinHelpA looks for ("MS_WINHELP")
// and hands each request to, so that a test sees which help a program asked for and no help
// viewer opens. Any help engine window left by an earlier case is closed first.
class StandinHelpEngine {
  public:
    struct Request {
        unsigned command; // HELP_CONTEXT, HELP_CONTEXTPOPUP, ...
        long data;        // the topic of a context request
        std::string file;
    };
    StandinHelpEngine();
    StandinHelpEngine(const StandinHelpEngine&) = delete;
    StandinHelpEngine& operator=(const StandinHelpEngine&) = delete;

    // The requests seen so far, oldest first.
    std::vector<Request> Requests() const;
    // Waits until more than `seen` requests came; the newest one, or a request with command 0.
    Request WaitForRequest(std::size_t seen, unsigned ms = kSettleMs) const;

  private:
    bool Answer(UINT message, LPARAM lParam, LRESULT& result);
    mutable std::mutex lock_;
    std::vector<Request> requests_;
    StandinWindow window_; // last: its thread uses the members above
};

// The window of the platform's HTML help engine (Wine's "HH Parent") that a process shows, or
// null when none shows within `ms`.
HWND WaitForHtmlHelp(DWORD processId, unsigned ms = kSettleMs);
// The entry of the help window's contents for the page the engine was asked to show: the engine
// finds the page in its contents itself (its "Sync", command 206 of Wine's engine, which shows
// no pages here) and the entry it selects is read; "" when it selects none.
std::string HtmlHelpPageShown(HWND help);

// A block of memory in another process, for the messages whose data the platform does not carry
// across processes (a tree view's items and their rectangles): written there, sent by its
// address, read back.
class RemoteMemory {
  public:
    static constexpr SIZE_T kSize = 4096;
    explicit RemoteMemory(DWORD processId);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    BYTE* Base() const { return base_; }
    void Write(const void* data, SIZE_T size, SIZE_T at = 0);
    void Read(void* data, SIZE_T size, SIZE_T at = 0) const;

  private:
    win::ScopedHandle process_;
    BYTE* base_ = nullptr;
};

// Drops the files on the cat and returns the one start of the companion it caused. Wine now
// and then loses a drag on the way; such a drag is made again, whole.
testing_support::MorvaRun DropAndWait(PakicoRun& pakico, const std::vector<std::string>& options,
                                      const std::vector<std::string>& files);

// The list file named after " @" on the companion's command line.
std::string ListPathOf(const testing_support::MorvaRun& run);
// The paths of the list the companion was handed, in order.
std::vector<std::string> ListedPaths(const testing_support::MorvaRun& run);

// Expects `"<folder>Morva.exe" <switches> @<list><tail>` (the executable quoted only when its
// path holds a space), the list named by its short path in the temporary folder and holding
// the files in drop order, each ended by CR LF. Deletes the list afterwards.
void ExpectHandOff(const PakicoRun& pakico, const testing_support::MorvaRun& run,
                   const std::string& switches, const std::vector<std::string>& files,
                   const std::string& tail = "");

// The first bytes of an LZH archive, enough for the archiver libraries' signature check.
std::string LzhBytes();

// The short form of an existing path; empty when there is none.
std::string ShortPath(const std::string& path);

// Quotes an argument for a command line when it holds a space.
std::string Quoted(const std::string& argument);

// For the life of the object, Wine treats the program's windows as managed by a window manager
// (its default) while the virtual display has none: each time one of them is hidden, Wine waits
// about two seconds for a window manager's answer, as it does on such a display when the prefix
// leaves managed windows on. (The tests' prefix turns them off.)
class WindowsClosingSlowly {
  public:
    WindowsClosingSlowly();
    ~WindowsClosingSlowly();
    WindowsClosingSlowly(const WindowsClosingSlowly&) = delete;
    WindowsClosingSlowly& operator=(const WindowsClosingSlowly&) = delete;
};

// Every test starts and ends with a clean settings tree and no copy of the program running.
class E2eTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace e2e
