// The application's error box.
#include "ui/ErrorReport.h"

#include "ui/FormRegistry.h"
#include "util/MessageLayout.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace ui {

namespace {
ErrorSink& CurrentSink() {
    static ErrorSink sink;
    return sink;
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

void ReportException(const std::exception& error) {
    // Reporting must never throw back into the platform either: a sink that fails is ignored.
    try {
        const ErrorSink& sink = CurrentSink();
        if (sink)
            sink(error.what());
        else
            ShowErrorBox(error.what());
    } catch (...) {
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
