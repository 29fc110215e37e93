// The window layer's windows, error box, timers and modal dialogs under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "ui/Dialog.h"
#include "ui/ErrorReport.h"
#include "ui/FormRegistry.h"
#include "ui/Timer.h"
#include "ui/Window.h"
#include "util/Errors.h"

using namespace ui_test;

namespace {

constexpr UINT kRecord = WM_APP + 1;
constexpr UINT kFail = WM_APP + 2;

// Records what reaches its object: proves every message lands on the right one.
class RecordingWindow : public ui::Window {
  public:
    explicit RecordingWindow(const std::string& formName = "") {
        ui::WindowSpec params;
        params.className = "PakicoTestRecording";
        params.formName = formName;
        params.style = WS_OVERLAPPED;
        Create(params);
    }
    bool sawCreate = false;
    HWND handleAtCreate = nullptr;
    std::vector<WPARAM> recorded;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_CREATE:
            sawCreate = true;
            handleAtCreate = Handle();
            return 0;
        case kRecord:
            recorded.push_back(wParam);
            return static_cast<LRESULT>(wParam) * 10;
        case kFail:
            throw EAppError("作業フォルダが作成できません。");
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

} // namespace

TEST(UiWindow, MessagesReachTheirOwnObject) {
    RecordingWindow first;
    RecordingWindow second;
    ASSERT_NE(nullptr, first.Handle());
    ASSERT_NE(nullptr, second.Handle());
    EXPECT_TRUE(first.sawCreate);
    EXPECT_EQ(first.Handle(), first.handleAtCreate);
    EXPECT_EQ(20, SendMessageA(second.Handle(), kRecord, 2, 0));
    EXPECT_EQ(10, SendMessageA(first.Handle(), kRecord, 1, 0));
    EXPECT_EQ(std::vector<WPARAM>{1}, first.recorded);
    EXPECT_EQ(std::vector<WPARAM>{2}, second.recorded);
    EXPECT_EQ(&first, ui::Window::FromHandle(first.Handle()));
    EXPECT_EQ(nullptr, ui::Window::FromHandle(GetDesktopWindow()));
}

TEST(UiWindow, ExceptionInAHandlerIsReportedNotPropagated) {
    CapturedErrors errors;
    RecordingWindow window;
    EXPECT_EQ(0, SendMessageA(window.Handle(), kFail, 0, 0));
    ASSERT_EQ(1u, errors.messages.size());
    EXPECT_EQ("作業フォルダが作成できません。", errors.messages[0]);
    // The window lives on and keeps answering.
    EXPECT_EQ(30, SendMessageA(window.Handle(), kRecord, 3, 0));
}

TEST(UiWindow, FormsRegisterWhileTheirWindowExists) {
    HWND handle = nullptr;
    {
        RecordingWindow form("TestForm");
        handle = form.Handle();
        EXPECT_TRUE(ui::IsAnyOtherFormOpen("MainForm"));
        EXPECT_FALSE(ui::IsAnyOtherFormOpen("TestForm"));
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(ui::IsAnyOtherFormOpen("MainForm"));

    RecordingWindow helper; // no form name: not a form
    EXPECT_FALSE(ui::IsAnyOtherFormOpen("MainForm"));
}

TEST(UiWindow, ObjectForgetsAWindowDestroyedUnderIt) {
    RecordingWindow window("TestForm");
    HWND handle = window.Handle();
    DestroyWindow(handle);
    EXPECT_EQ(nullptr, window.Handle());
    EXPECT_FALSE(ui::IsAnyOtherFormOpen("MainForm"));
}

TEST(UiErrorReport, SinkReceivesTheMessageAndCanBeSwapped) {
    std::vector<std::string> first;
    ui::ErrorSink previous = ui::SetErrorSink([&](const std::string& m) { first.push_back(m); });
    ui::ReportException(EAppError("ファイル x は開けません"));
    std::vector<std::string> second;
    ui::ErrorSink mine = ui::SetErrorSink([&](const std::string& m) { second.push_back(m); });
    EXPECT_TRUE(static_cast<bool>(mine));
    EXPECT_FALSE(ui::RunGuarded([] { throw std::runtime_error("boom"); }));
    EXPECT_TRUE(ui::RunGuarded([] {}));
    ui::SetErrorSink(std::move(previous));
    EXPECT_EQ(std::vector<std::string>{"ファイル x は開けません"}, first);
    EXPECT_EQ(std::vector<std::string>{"予期しないエラーが発生しました。"}, second); // not "boom"
    EXPECT_STREQ("Pakico", ui::ApplicationTitle());
}

// While a drag is over the program's window reports wait, each message once, and show when it
// has ended; the same check again while it goes on shows nothing yet.
TEST(UiErrorReport, ReportsWaitWhileHeldAndShowOnceEach) {
    std::vector<std::string> shown;
    ui::ErrorSink previous = ui::SetErrorSink([&](const std::string& m) { shown.push_back(m); });
    bool dragging = true;
    ui::HoldReportsWhile([&] { return dragging; });
    ui::ReportException(EAppError("ファイル a は開けません"));
    EXPECT_FALSE(ui::RunGuarded([] { throw EAppError("ファイル a は開けません"); }));
    ui::ReportException(EAppError("b"));
    ui::ShowHeldReports();
    EXPECT_TRUE(shown.empty());
    dragging = false;
    ui::ShowHeldReports();
    EXPECT_EQ((std::vector<std::string>{"ファイル a は開けません", "b"}), shown);
    ui::ShowHeldReports();
    ui::ReportException(EAppError("c"));
    EXPECT_EQ((std::vector<std::string>{"ファイル a は開けません", "b", "c"}), shown);
    ui::HoldReportsWhile(nullptr);
    ui::SetErrorSink(std::move(previous));
}

namespace {
// What a watcher thread saw of the error box before pressing its OK button.
struct BoxWatch {
    DWORD thread = 0;
    std::string caption;
    std::vector<std::string> texts;
    bool stopIcon = false;
    std::atomic<bool> closed{false};
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto& watch = *reinterpret_cast<BoxWatch*>(param);
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    watch.texts.emplace_back(text);
    auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (icon && icon == LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)))
        watch.stopIcon = true;
    return TRUE;
}

BOOL CALLBACK CloseBox(HWND window, LPARAM param) {
    auto& watch = *reinterpret_cast<BoxWatch*>(param);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    watch.caption = caption;
    EnumChildWindows(window, &CollectChild, param);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    watch.closed = true;
    return FALSE;
}
} // namespace

TEST(UiErrorReport, DefaultSinkShowsTheStandardErrorBox) {
    // A watcher thread reads the box and presses OK; it gives up after ten seconds, so a box
    // that never shows cannot hang the run.
    BoxWatch watch;
    watch.thread = GetCurrentThreadId();
    std::thread watcher([&] {
        for (int i = 0; i < 500 && !watch.closed; ++i) {
            Sleep(20);
            EnumThreadWindows(watch.thread, &CloseBox, reinterpret_cast<LPARAM>(&watch));
        }
    });
    ui::ReportException(EAppError("作業フォルダが作成できません。フォルダ名 = C:\\x"));
    watch.closed = true;
    watcher.join();
    EXPECT_EQ("Pakico", watch.caption);
    EXPECT_NE(watch.texts.end(), std::find(watch.texts.begin(), watch.texts.end(),
                                           "作業フォルダが作成できません。フォルダ名 = C:\\x"));
    EXPECT_TRUE(watch.stopIcon);
}

TEST(UiTimer, TicksUntilStoppedFromItsOwnHandler) {
    ui::Timer timer;
    int ticks = 0;
    timer.OnTimer = [&](ui::Timer& t) {
        if (++ticks == 3)
            t.SetInterval(0);
    };
    EXPECT_EQ(0u, timer.Interval());
    timer.SetInterval(10);
    EXPECT_EQ(10u, timer.Interval());
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(0u, timer.Interval());
}

TEST(UiTimer, StoppedTimerLeavesNoTickWaiting) {
    ui::Timer timer;
    int ticks = 0;
    timer.OnTimer = [&](ui::Timer&) { ++ticks; };
    timer.SetInterval(1);
    Sleep(50); // the interval has run out: a tick is due
    timer.SetInterval(0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(0, ticks);
}

TEST(UiTimer, ExceptionInTheHandlerIsReportedAndTheTimerRunsOn) {
    CapturedErrors errors;
    ui::Timer timer;
    int ticks = 0;
    timer.OnTimer = [&](ui::Timer&) {
        if (++ticks == 1)
            throw EAppError("取込に失敗しました");
    };
    timer.SetInterval(10);
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    EXPECT_EQ(std::vector<std::string>{"取込に失敗しました"}, errors.messages);
    EXPECT_EQ(10u, timer.Interval());
}

namespace {

class TestDialog : public ui::ModalDialog {
  public:
    explicit TestDialog(const DLGTEMPLATE* memory)
        : ModalDialog(ui::DialogTemplate{nullptr, nullptr, memory}, "TestDialog") {}
    bool registeredWhileOpen = false;
    int okCalls = 0;

  protected:
    bool OnInit() override {
        registeredWhileOpen = ui::IsAnyOtherFormOpen("MainForm");
        PostMessageA(Handle(), WM_COMMAND, IDOK, 0);
        return true;
    }
    bool OnOK() override {
        // The first confirmation fails: reported, and the dialog stays open for another.
        if (++okCalls == 1) {
            PostMessageA(Handle(), WM_COMMAND, IDOK, 0);
            throw EAppError("フォルダ名が不正です");
        }
        return true;
    }
};

} // namespace

TEST(UiDialog, ShowsModallyRegisteredAndReportsAFailedConfirmation) {
    CapturedErrors errors;
    TemplateBuilder builder(L"テスト", WS_POPUP | WS_CAPTION | WS_SYSMENU, 160, 60);
    builder.Add(IDOK, 0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 40, 50, 14, L"OK");
    TestDialog dialog(builder.Get());
    EXPECT_EQ(IDOK, dialog.ShowModal(nullptr));
    EXPECT_TRUE(dialog.registeredWhileOpen);
    EXPECT_FALSE(ui::IsAnyOtherFormOpen("MainForm"));
    EXPECT_EQ(2, dialog.okCalls);
    EXPECT_EQ(std::vector<std::string>{"フォルダ名が不正です"}, errors.messages);
    EXPECT_EQ(nullptr, dialog.Handle());
}
