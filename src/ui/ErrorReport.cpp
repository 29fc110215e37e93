// The application's error box.
#include "ui/ErrorReport.h"

#include "ui/FormRegistry.h"
#include "util/MessageLayout.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ui {

namespace {
ErrorSink& CurrentSink() {
    static ErrorSink sink;
    return sink;
}

struct HeldReports {
    std::function<bool()> holding;
    std::vector<std::string> messages;
};
HeldReports& Held() {
    static HeldReports held;
    return held;
}

void ShowErrorBox(const std::string& message) {
    // Like every other box of the program it rests the cat while it shows.
    ScopedOpenBox open;
    MessageBoxA(GetActiveWindow(), message.c_str(), ApplicationTitle(), MB_OK | MB_ICONSTOP);
}
} // namespace

const char* ApplicationTitle() {
    return kApplicationTitle;
}

namespace {
void Deliver(const std::string& message) {
    const ErrorSink& sink = CurrentSink();
    if (sink)
        sink(message);
    else
        ShowErrorBox(message);
}
} // namespace

void ReportException(const std::exception& error) {
    // Reporting must never throw back into the platform either: a sink that fails is ignored.
    try {
        HeldReports& held = Held();
        if (held.holding && held.holding()) {
            // A drag that crosses the window's parts meets the same fault again: once is enough.
            if (std::find(held.messages.begin(), held.messages.end(), error.what()) ==
                held.messages.end())
                held.messages.emplace_back(error.what());
            return;
        }
        Deliver(error.what());
    } catch (...) {
    }
}

void HoldReportsWhile(std::function<bool()> holding) {
    Held().holding = std::move(holding);
}

void ShowHeldReports() {
    HeldReports& held = Held();
    if (held.holding && held.holding())
        return;
    // A report shown here may be followed by more (a box's own loop runs the program's
    // messages): those wait for the next call or show at once.
    std::vector<std::string> messages = std::exchange(held.messages, {});
    for (const std::string& message : messages) {
        try {
            Deliver(message);
        } catch (...) {
        }
    }
}

ErrorSink SetErrorSink(ErrorSink sink) {
    return std::exchange(CurrentSink(), std::move(sink));
}

bool RunGuarded(const std::function<void()>& action) noexcept {
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        ReportException(e);
    } catch (...) {
        ReportException(std::runtime_error("予期しない例外が発生しました"));
    }
    return false;
}

} // namespace ui
