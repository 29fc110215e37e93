// The notification-area icon against the real shell: its record, the mouse table and handles.
#include "shell/TaskTrayIcon.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

HICON SystemIcon(LPCSTR id) {
    return LoadIconA(nullptr, id);
}

// Sends the shell's callback message as the shell would for one mouse message.
void Notify(const TTaskTrayIcon& tray, UINT mouseMessage) {
    SendMessageA(tray.Handle(), TTaskTrayIcon::CallbackMessage, 0, mouseMessage);
}

// Whether the shell still knows an icon with this record's window and identifier.
bool ShellKnows(const NOTIFYICONDATAA& record) {
    NOTIFYICONDATAA probe = record;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

bool IsLiveIcon(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// Writes every event into a list, in the order they come.
struct EventLog {
    std::vector<std::string> events;
    std::vector<TShiftState> shifts;
    std::vector<POINT> points;

    void Attach(TTaskTrayIcon& tray) {
        tray.OnClick = [this](TTaskTrayIcon&) { events.push_back("Click"); };
        tray.OnDblClick = [this](TTaskTrayIcon&) { events.push_back("DblClick"); };
        tray.OnMouseDown = [this](TTaskTrayIcon&, TMouseButton b, TShiftState s, int x, int y) {
            events.push_back("Down" + Name(b));
            shifts.push_back(s);
            points.push_back({x, y});
        };
        tray.OnMouseUp = [this](TTaskTrayIcon&, TMouseButton b, TShiftState s, int x, int y) {
            events.push_back("Up" + Name(b));
            shifts.push_back(s);
            points.push_back({x, y});
        };
        tray.OnMouseMove = [this](TTaskTrayIcon&, TShiftState, int x, int y) {
            events.push_back("Move");
            points.push_back({x, y});
        };
    }
    static std::string Name(TMouseButton b) {
        return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
    }
};

using Events = std::vector<std::string>;

// One icon shared by the event tests: under Wine without a window manager each removal of an
// icon waits two seconds for the shell's icon window to be withdrawn.
class TaskTrayIconEvents : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        tray = new TTaskTrayIcon(nullptr, SystemIcon(IDI_APPLICATION), "");
    }
    static void TearDownTestSuite() {
        delete tray;
        tray = nullptr;
    }
    void SetUp() override {
        tray->PopupMenu = nullptr;
        log.Attach(*tray);
    }
    void TearDown() override {
        tray->OnClick = tray->OnDblClick = nullptr;
        tray->OnMouseDown = tray->OnMouseUp = nullptr;
        tray->OnMouseMove = nullptr;
        // Leave no half-finished click behind for the next test.
        Notify(*tray, WM_LBUTTONUP);
    }
    static TTaskTrayIcon* tray;
    EventLog log;
};
TTaskTrayIcon* TaskTrayIconEvents::tray = nullptr;

} // namespace

TEST(TaskTrayIcon, AddsTheIconWithItsRecord) {
    HICON source = SystemIcon(IDI_APPLICATION);
    TTaskTrayIcon tray(nullptr, source, "パキコ");
    const NOTIFYICONDATAA& r = tray.Record();
    EXPECT_EQ(88u, r.cbSize);
    EXPECT_EQ(tray.Handle(), r.hWnd);
    EXPECT_TRUE(IsWindow(tray.Handle()));
    EXPECT_EQ(0u, r.uID);
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), r.uFlags);
    EXPECT_EQ(1025u, r.uCallbackMessage);
    EXPECT_STREQ("パキコ", r.szTip);
    // The component shows its own copy, not the caller's icon.
    EXPECT_EQ(tray.Icon(), r.hIcon);
    EXPECT_NE(nullptr, r.hIcon);
    EXPECT_NE(source, r.hIcon);
    EXPECT_TRUE(ShellKnows(r));
    EXPECT_TRUE(tray.Added());
}

// When the shell restarts, its new taskbar knows no icons and announces itself to every
// top-level window; the icon is added again, with its tip and picture. Run elevated, the program
// hears the announcement, which comes from a lower integrity level, only through a window that
// lets it through: Wine filters nothing, so the platform's filter is stood in for, letting the
// announcement through to the windows that allowed it.
TEST(TaskTrayIcon, ANewTaskbarGetsTheIconAgain) {
    std::set<std::pair<HWND, UINT>> allowed;
    const auto system = TTaskTrayIcon::AllowMessageCall;
    TTaskTrayIcon::AllowMessageCall = [&](HWND window, UINT message) {
        allowed.emplace(window, message);
    };
    TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "パキコ");
    TTaskTrayIcon::AllowMessageCall = system;
    NOTIFYICONDATAA record = tray.Record();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_FALSE(ShellKnows(tray.Record()));
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (allowed.count({tray.Handle(), taskbarCreated}))
        SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(ShellKnows(tray.Record()));
    EXPECT_TRUE(tray.Added());
    EXPECT_STREQ("パキコ", tray.Record().szTip);
}

TEST(TaskTrayIcon, EmptyTitleAddsNoTip) {
    TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "");
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON), tray.Record().uFlags);
    EXPECT_TRUE(ShellKnows(tray.Record()));
}

TEST(TaskTrayIcon, LongHintIsCutTo63Bytes) {
    TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "x");
    std::string eighty;
    for (int i = 0; i < 80; ++i)
        eighty += char('0' + i % 10);
    tray.SetHint(eighty);
    EXPECT_EQ(eighty, tray.Hint());
    EXPECT_EQ(eighty.substr(0, 63), std::string(tray.Record().szTip));

    // Forty double-byte characters: 31 of them fit; half of the 32nd would be a stray lead byte.
    std::string kana;
    for (int i = 0; i < 40; ++i)
        kana += "あ";
    tray.SetHint(kana);
    EXPECT_EQ(kana.substr(0, 62), std::string(tray.Record().szTip));
    tray.SetHint("a" + kana);
    EXPECT_EQ(("a" + kana).substr(0, 63), std::string(tray.Record().szTip));
    EXPECT_TRUE(ShellKnows(tray.Record()));
}

TEST(TaskTrayIcon, EmptyHintClearsTheTipButKeepsTheIcon) {
    TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "自動インポート中");
    tray.SetHint("");
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON), tray.Record().uFlags);
    EXPECT_EQ('\0', tray.Record().szTip[0]);
    EXPECT_TRUE(ShellKnows(tray.Record()));
    tray.SetHint("パキコ");
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), tray.Record().uFlags);
    EXPECT_STREQ("パキコ", tray.Record().szTip);
}

TEST_F(TaskTrayIconEvents, MouseTable) {
    TTaskTrayIcon& tray = *this->tray;

    // A quick click, then a double click as the system delivers it.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP})
        Notify(tray, m);
    EXPECT_EQ((Events{"DownL", "Click", "UpL"}), log.events);
    log.events.clear();
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        Notify(tray, m);
    EXPECT_EQ((Events{"DownL", "Click", "UpL", "DblClick", "UpL"}), log.events);
    log.events.clear();

    // A release without its press (the press went to the menu, say) is no click.
    Notify(tray, WM_LBUTTONUP);
    EXPECT_EQ((Events{"UpL"}), log.events);
    log.events.clear();

    for (UINT m : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
                   WM_MBUTTONDBLCLK, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_KEYDOWN})
        Notify(tray, m);
    EXPECT_EQ((Events{"DownR", "UpR", "DblClick", "DownM", "UpM", "DblClick", "Move"}), log.events);
}

TEST_F(TaskTrayIconEvents, ShiftStateCarriesKeysAndTheButton) {
    TTaskTrayIcon& tray = *this->tray;
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE keys[256];
    std::memcpy(keys, saved, sizeof keys);
    keys[VK_SHIFT] = keys[VK_MENU] = keys[VK_CONTROL] = 0;

    SetKeyboardState(keys);
    Notify(tray, WM_RBUTTONDOWN);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Notify(tray, WM_MBUTTONUP);
    keys[VK_SHIFT] = keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    Notify(tray, WM_LBUTTONDOWN);
    SetKeyboardState(saved);

    EXPECT_EQ(
        (std::vector<TShiftState>{ssRight, ssCtrl | ssMiddle, ssShift | ssAlt | ssCtrl | ssLeft}),
        log.shifts);
}

TEST_F(TaskTrayIconEvents, EventsCarryTheCursorPosition) {
    TTaskTrayIcon& tray = *this->tray;
    for (POINT at : {POINT{200, 150}, POINT{321, 17}}) {
        SetCursorPos(at.x, at.y);
        POINT cursor{};
        GetCursorPos(&cursor);
        ASSERT_EQ(at.x, cursor.x);
        ASSERT_EQ(at.y, cursor.y);
        log.points.clear();
        for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
            Notify(tray, m);
        ASSERT_EQ(3u, log.points.size());
        for (POINT p : log.points) {
            EXPECT_EQ(cursor.x, p.x);
            EXPECT_EQ(cursor.y, p.y);
        }
    }
}

TEST_F(TaskTrayIconEvents, RightClickWithoutMenuGivesOnlyTheButtonEvents) {
    TTaskTrayIcon& tray = *this->tray;
    tray.PopupMenu = nullptr;
    Notify(tray, WM_RBUTTONDOWN);
    Notify(tray, WM_RBUTTONUP);
    EXPECT_EQ((Events{"DownR", "UpR"}), log.events);
}

namespace {
bool ownerSawPostedMessage = false;
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        ownerSawPostedMessage = true;
    return DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

TEST(TaskTrayIcon, RightPressShowsTheMenuAtTheCursor) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrayTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "TrayTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                 10, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, owner);
    // Another window is in front when the icon is clicked, as when the user works elsewhere.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(other, GetForegroundWindow());
    {
        TTaskTrayIcon tray(owner, SystemIcon(IDI_APPLICATION), "");
        EventLog log;
        log.Attach(tray);
        SetCursorPos(123, 234);
        POINT cursor{};
        GetCursorPos(&cursor);
        std::vector<POINT> shown;
        bool pendingRanFirst = false;
        HWND frontAtPopup = nullptr;
        tray.PopupMenu = [&](POINT where) {
            log.events.push_back("Popup");
            shown.push_back(where);
            pendingRanFirst = ownerSawPostedMessage;
            frontAtPopup = GetForegroundWindow();
        };
        ownerSawPostedMessage = false;
        PostMessageA(owner, WM_APP, 0, 0);
        Notify(tray, WM_RBUTTONDOWN);
        Notify(tray, WM_RBUTTONUP);
        EXPECT_EQ((Events{"DownR", "Popup", "UpR"}), log.events);
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ(cursor.x, shown[0].x);
        EXPECT_EQ(cursor.y, shown[0].y);
        EXPECT_TRUE(pendingRanFirst);
        EXPECT_EQ(owner, frontAtPopup);
    }
    DestroyWindow(other);
    DestroyWindow(owner);
}

TEST_F(TaskTrayIconEvents, HandlerErrorsAreReportedNotThrown) {
    TTaskTrayIcon& tray = *this->tray;
    std::vector<std::string> reports;
    TTaskTrayIcon::ErrorReporter = [&](const std::exception& e) { reports.push_back(e.what()); };
    tray.OnDblClick = [](TTaskTrayIcon&) { throw EAppError("起動できません"); };
    Notify(tray, WM_LBUTTONDBLCLK);
    Notify(tray, WM_RBUTTONDBLCLK);
    EXPECT_EQ((std::vector<std::string>{"起動できません", "起動できません"}), reports);
    // A reporter that fails in turn stays inside the window procedure as well.
    TTaskTrayIcon::ErrorReporter = [&](const std::exception&) {
        reports.push_back("reporter");
        throw std::runtime_error("reporter failed");
    };
    Notify(tray, WM_MBUTTONDBLCLK);
    TTaskTrayIcon::ErrorReporter = nullptr;
    EXPECT_EQ("reporter", reports.back());
}

TEST_F(TaskTrayIconEvents, IconChangesReplaceTheCopy) {
    TTaskTrayIcon& tray = *this->tray;
    HICON pictures[] = {SystemIcon(IDI_WARNING), SystemIcon(IDI_INFORMATION)};
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 200; ++i) {
        HICON previous = tray.Icon();
        tray.SetIcon(pictures[i % 2]);
        ASSERT_EQ(tray.Icon(), tray.Record().hIcon);
        ASSERT_NE(pictures[i % 2], tray.Icon());
        ASSERT_TRUE(IsLiveIcon(tray.Icon()));
        ASSERT_FALSE(IsLiveIcon(previous)) << "the old copy was not freed, change " << i;
    }
    DWORD after = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    // Wine answers 0 here; on Windows the count must not grow with the changes.
    EXPECT_LE(after, before + 5);
    EXPECT_TRUE(ShellKnows(tray.Record()));
    tray.SetIcon(nullptr);
    EXPECT_EQ(nullptr, tray.Record().hIcon);
}

namespace {
// Watches the hidden window's end: does the shell still know the icon while the window lives?
WNDPROC trayProc = nullptr;
NOTIFYICONDATAA watchedRecord;
int shellKnewAtDestroy = -1;
LRESULT CALLBACK WatchDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        shellKnewAtDestroy = ShellKnows(watchedRecord) ? 1 : 0;
    return CallWindowProcA(trayProc, window, message, wParam, lParam);
}
} // namespace

TEST(TaskTrayIcon, DestructionRemovesTheIconAndFreesTheCopy) {
    HICON copy;
    {
        TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "パキコ");
        watchedRecord = tray.Record();
        copy = tray.Icon();
        ASSERT_TRUE(ShellKnows(watchedRecord));
        ASSERT_TRUE(IsLiveIcon(copy));
        trayProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            tray.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchDestroy)));
        shellKnewAtDestroy = -1;
    }
    // The icon was gone before its window was: Wine would drop it with the window anyway.
    EXPECT_EQ(0, shellKnewAtDestroy);
    EXPECT_FALSE(ShellKnows(watchedRecord));
    EXPECT_FALSE(IsLiveIcon(copy));
    EXPECT_FALSE(IsWindow(watchedRecord.hWnd));
}

TEST(TaskTrayIcon, MinimizeHidesAndRestoreShowsTheApplicationWindow) {
    HWND app = CreateWindowExA(0, "STATIC", "app", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, app);
    TTaskTrayIcon tray(nullptr, SystemIcon(IDI_APPLICATION), "");
    std::vector<std::string> events;
    tray.OnMinimize = [&](TTaskTrayIcon&) { events.push_back(IsWindowVisible(app) ? "+" : "-"); };
    tray.OnRestore = [&](TTaskTrayIcon&) { events.push_back(IsWindowVisible(app) ? "+" : "-"); };
    tray.ApplicationMinimized(app);
    EXPECT_FALSE(IsWindowVisible(app));
    tray.ApplicationRestored(app);
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_EQ((std::vector<std::string>{"-", "+"}), events);
    DestroyWindow(app);
}
