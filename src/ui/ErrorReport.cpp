// The application's error box.
#include "ui/ErrorReport.h"

#include "ui/FormRegistry.h"
#include "util/Errors.h"
#include "util/MessageLayout.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ui {

namespace {
ErrorSink& CurrentSink() {
    static ErrorSink sink;
    return sink;
}

// A report or a notice waiting: its text, and for a notice how it shows.
struct HeldReport {
    std::string message;
    std::function<void()> show;
};
struct HeldReports {
    std::function<bool()> holding;
    std::vector<HeldReport> reports;
    // Holds a report unless one of the same text waits already (a drag that crosses the
    // window's parts meets the same fault again: once is enough). False when nothing holds.
    bool Hold(const std::string& message, std::function<void()> show) {
        if (!holding || !holding())
            return false;
        if (std::none_of(reports.begin(), reports.end(),
                         [&](const HeldReport& held) { return held.message == message; }))
            reports.push_back({message, std::move(show)});
        return true;
    }
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
// The program's own message; for any other exception (the library's English, a failed
// allocation) words of the program's own.
std::string ReportText(const std::exception& error) {
    if (dynamic_cast<const EAppError*>(&error))
        return error.what();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "メモリ不足です";
    return kUnexpectedError;
}

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
        const std::string message = ReportText(error);
        if (!Held().Hold(message, nullptr))
            Deliver(message);
    } catch (...) {
    }
}

bool HoldNotice(const std::string& text, std::function<void()> show) {
    return Held().Hold(text, std::move(show));
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
    std::vector<HeldReport> reports = std::exchange(held.reports, {});
    for (const HeldReport& report : reports) {
        try {
            if (report.show)
                report.show();
            else
                Deliver(report.message);
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
        ReportException(EAppError(kUnexpectedError));
    }
    return false;
}

} // namespace ui
