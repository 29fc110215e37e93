// The program's open windows (forms, dialogs, message boxes), so that the icon window can tell
// whether anything else of the program is on screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

// Every form and dialog registers when its window is created and unregisters when it is
// destroyed. The name is the form's component name ("ArchiveCoolForm", "MessageDialog", ...).
void RegisterForm(HWND window, const std::string& name);
void UnregisterForm(HWND window);

// True as soon as one registered form has a name other than `mainName`, or a box of the
// platform's is open.
bool IsAnyOtherFormOpen(const std::string& mainName);

// Called on the GUI thread each time a registered form goes or a box of the platform's closes,
// so that whoever shows what IsAnyOtherFormOpen says can follow at once; none when empty.
void SetFormClosedHandler(std::function<void()> handler);

// Registers for the lifetime of a scope (a modal dialog's run).
class ScopedFormRegistration {
  public:
    ScopedFormRegistration(HWND window, const std::string& name) : window_(window) {
        RegisterForm(window, name);
    }
    ~ScopedFormRegistration() { UnregisterForm(window_); }
    ScopedFormRegistration(const ScopedFormRegistration&) = delete;
    ScopedFormRegistration& operator=(const ScopedFormRegistration&) = delete;

  private:
    HWND window_;
};

// The platform's own message box has no form of ours: it counts as an open window of the
// program for the lifetime of a scope around it.
class ScopedOpenBox {
  public:
    ScopedOpenBox();
    ~ScopedOpenBox();
    ScopedOpenBox(const ScopedOpenBox&) = delete;
    ScopedOpenBox& operator=(const ScopedOpenBox&) = delete;
};

} // namespace ui
