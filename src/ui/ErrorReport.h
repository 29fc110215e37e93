// The application's error box: every boundary the platform calls (window, dialog and timer
// procedures, menu clicks) catches the program's exceptions and reports them here.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace ui {

// The application title: the caption of the error box and of the program's own windows.
const char* ApplicationTitle();

// Shows the exception's message (Shift-JIS text) in the standard error box: the application
// title as caption, the stop icon and an OK button, owned by the active window. An exception
// other than the program's own (EAppError) is told in the program's words instead.
void ReportException(const std::exception& error);

// Where reports go. Tests replace the error box so that no modal box waits for a click; an
// empty sink puts the error box back. Returns the sink that was in place.
using ErrorSink = std::function<void(const std::string& message)>;
ErrorSink SetErrorSink(ErrorSink sink);

// While `holding` answers true (a drag is over the program's window: the drag source sits in
// its loop holding the mouse, and a box must not open under it; or the program stepped aside for
// another program's full-screen work, which a new window would come over), reports wait, each
// message once; ShowHeldReports shows them once it answers false. Without it every report shows
// at once.
void HoldReportsWhile(std::function<bool()> holding);
void ShowHeldReports();
// A notice that asks nothing and belongs to no window (what the folder watch tells on its own)
// waits like the reports while they are held, each text once, and `show` shows it with them.
// False when nothing holds it: the caller shows it at once.
bool HoldNotice(const std::string& text, std::function<void()> show);

// Runs `action`; an exception that leaves it is reported instead of travelling on into the
// platform. False when one was caught.
bool RunGuarded(const std::function<void()>& action) noexcept;

} // namespace ui
