// The cat steps aside for full-screen work on its monitor and comes back on top after it.
#include "app/FullScreenWatch.h"

#include "app/DesktopMonitors.h"
#include "app/FullScreenRules.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

std::function<void(const std::exception&)> TFullScreenWatch::ErrorReporter;

namespace {

// Functions that the oldest systems the program runs on lack, looked up once: the platform's
// event hooks (Windows 98 and 2000 on), the shell hook and the shell's window (Windows 2000 on),
// and the shell's notification state (Windows Vista on).
struct LateFunctions {
    decltype(&SetWinEventHook) setWinEventHook = nullptr;
    decltype(&UnhookWinEvent) unhookWinEvent = nullptr;
    BOOL(WINAPI* registerShellHookWindow)(HWND) = nullptr;
    BOOL(WINAPI* deregisterShellHookWindow)(HWND) = nullptr;
    HWND(WINAPI* getShellWindow)() = nullptr;
};

template <typename Fn> void Find(HMODULE module, const char* name, Fn& fn) {
    fn = win::FunctionIn<Fn>(module, name);
}

const LateFunctions& Late() {
    static const LateFunctions late = [] {
        LateFunctions found;
        HMODULE user = GetModuleHandleA("user32.dll");
        Find(user, "SetWinEventHook", found.setWinEventHook);
        Find(user, "UnhookWinEvent", found.unhookWinEvent);
        Find(user, "RegisterShellHookWindow", found.registerShellHookWindow);
        Find(user, "DeregisterShellHookWindow", found.deregisterShellHookWindow);
        Find(user, "GetShellWindow", found.getShellWindow);
        return found;
    }();
    return late;
}

// Posted to the notice window: look again once an activation has run its course.
constexpr UINT kLookAgain = WM_APP + 1;

// The watches of the process, for the platform's event hooks, which carry no data of their own.
std::vector<TFullScreenWatch*>& Watches() {
    static std::vector<TFullScreenWatch*> watches;
    return watches;
}

bool IsTopmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsDesktop(HWND window, DWORD processId) {
    if (window == GetDesktopWindow())
        return true;
    HWND shell = Late().getShellWindow ? Late().getShellWindow() : nullptr;
    if (!shell)
        return false;
    if (window == shell)
        return true;
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(shell, &shellProcess);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return processId == shellProcess && IsShellDesktopClass(className);
}

ForegroundWindow Describe(HWND window) {
    ForegroundWindow seen;
    if (!window || !IsWindowVisible(window) || IsIconic(window))
        return seen;
    seen.present = true;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    seen.ownProcess = processId == GetCurrentProcessId();
    seen.desktop = IsDesktop(window, processId);
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    seen.client = AreaOf(client);
    RECT frame{};
    GetWindowRect(window, &frame);
    seen.frame = AreaOf(frame);
    seen.maximised = IsZoomed(window) != FALSE;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    seen.frameless = (style & WS_CAPTION) != WS_CAPTION && !(style & WS_THICKFRAME);
    return seen;
}

} // namespace

TFullScreenWatch::TFullScreenWatch(HWND window)
    : window_(window),
      notices_(
          "PakicoFullScreenWatch", WM_ACTIVATEAPP,
          [this](WPARAM, LPARAM) { PostMessageA(notices_.Handle(), kLookAgain, 0, 0); },
          ErrorReporter),
      shell_(LoadLibraryA("shell32.dll")) {
    Find(shell_.get(), "SHQueryUserNotificationState", queryState_);
    Watches().push_back(this);
    notices_.AlsoHandle(kLookAgain, [this](WPARAM, LPARAM) { Check(); });
    notices_.AlsoHandle(RegisterWindowMessageA("SHELLHOOK"), [this](WPARAM code, LPARAM) {
        if (ShellNoticeMayChangeForeground(static_cast<unsigned>(code)))
            Check();
    });
    const auto& late = Late();
    if (late.registerShellHookWindow && notices_.Handle())
        shellHookRegistered_ = late.registerShellHookWindow(notices_.Handle()) != FALSE;
    if (late.setWinEventHook)
        foregroundHook_ =
            late.setWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                 &TFullScreenWatch::WinEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    Check();
}

TFullScreenWatch::~TFullScreenWatch() {
    Follow(nullptr);
    const auto& late = Late();
    if (foregroundHook_ && late.unhookWinEvent)
        late.unhookWinEvent(foregroundHook_);
    if (shellHookRegistered_ && late.deregisterShellHookWindow)
        late.deregisterShellHookWindow(notices_.Handle());
    auto& watches = Watches();
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
}

void TFullScreenWatch::Check() {
    if (!IsWindow(window_))
        return;
    auto state = UserNotificationState::Unknown;
    int answer = 0;
    if (queryState_ && SUCCEEDED(queryState_(&answer)))
        state = static_cast<UserNotificationState>(answer);
    HWND foreground = GetForegroundWindow();
    const ForegroundWindow seen = Describe(foreground);
    RECT frame{};
    GetWindowRect(window_, &frame);
    if (StepsAside(AreaOf(frame), DesktopMonitors(), seen, state))
        StepAside(IsAnotherProgramsWindow(seen) ? foreground : nullptr);
    else
        ComeBack();
}

void TFullScreenWatch::StepAside(HWND cover) {
    if (aside_ && !IsTopmost(window_) && cover == followed_)
        return;
    constexpr UINT kOnlyOrder = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    // Just behind the window in front, which takes it out of the topmost band: it is not seen,
    // and it is the first to show when that window goes. Leaving the band first would raise it
    // to the top of the other windows on the way, and Wine then puts it back there later. A
    // topmost window in front lies above all the others anyway: leaving the band is enough, and
    // lying just behind it would keep the cat in the band.
    const bool behindCover = cover && !IsTopmost(cover);
    if (behindCover)
        SetWindowPos(window_, cover, 0, 0, 0, 0, kOnlyOrder);
    if (IsTopmost(window_)) {
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, kOnlyOrder);
        if (behindCover)
            SetWindowPos(window_, cover, 0, 0, 0, 0, kOnlyOrder);
    }
    aside_ = true;
    Follow(cover);
}

void TFullScreenWatch::ComeBack() {
    Follow(nullptr);
    if (!aside_ && IsTopmost(window_))
        return;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool wasAside = std::exchange(aside_, false);
    if (wasAside && OnComeBack)
        OnComeBack();
}

bool TFullScreenWatch::OtherWorkInFront() const {
    if (!aside_)
        return false;
    DWORD processId = 0;
    HWND foreground = GetForegroundWindow();
    return !foreground || !GetWindowThreadProcessId(foreground, &processId) ||
           processId != GetCurrentProcessId();
}

void TFullScreenWatch::Follow(HWND cover) {
    if (cover == followed_)
        return;
    const auto& late = Late();
    for (HWINEVENTHOOK* hook : {&coverEndHook_, &coverMoveHook_}) {
        if (*hook && late.unhookWinEvent)
            late.unhookWinEvent(*hook);
        *hook = nullptr;
    }
    followed_ = cover;
    if (!cover || !late.setWinEventHook)
        return;
    // Only the events of that window's thread: the location changes of every window on the
    // desktop (and of the pointer) are not worth waking up for.
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(cover, &processId);
    coverEndHook_ = late.setWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE, nullptr,
                                         &TFullScreenWatch::WinEvent, processId, threadId,
                                         WINEVENT_OUTOFCONTEXT);
    coverMoveHook_ = late.setWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE,
                                          nullptr, &TFullScreenWatch::WinEvent, processId, threadId,
                                          WINEVENT_OUTOFCONTEXT);
}

void CALLBACK TFullScreenWatch::WinEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG,
                                         DWORD, DWORD) {
    try {
        try {
            // A copy: a check may end a watch's hooks, never a watch.
            for (TFullScreenWatch* watch : std::vector<TFullScreenWatch*>(Watches()))
                watch->Notice(hook, window, object);
        } catch (const std::exception& error) {
            if (ErrorReporter)
                ErrorReporter(error);
        }
    } catch (...) {
        // Nothing unwinds into the platform.
    }
}

void TFullScreenWatch::Notice(HWINEVENTHOOK hook, HWND window, LONG object) {
    if (hook == foregroundHook_ || ((hook == coverEndHook_ || hook == coverMoveHook_) &&
                                    window == followed_ && object == OBJID_WINDOW))
        Check();
}
