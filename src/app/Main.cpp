// Pakico's entry point: one resident copy per session, the icon window and its message loop.
#include "app/Application.h"
#include "app/ArchiveCoolForm.h"
#include "app/FullScreenWatch.h"
#include "app/ProcessStart.h"
#include "archive/ArchiverLibraries.h"
#include "shell/DropTarget.h"
#include "shell/HookHotKey.h"
#include "shell/TaskTrayIcon.h"
#include "ui/ErrorReport.h"
#include "watch/GuiHandOff.h"

namespace {
// Errors inside the components' own window procedures and COM calls reach the user the same
// way as every other error: the error box with the program's title.
void RouteComponentErrors() {
    auto report = [](const std::exception& error) { ui::ReportException(error); };
    TDropTarget::SetErrorReporter(report);
    TTaskTrayIcon::ErrorReporter = report;
    THookHotKey::ErrorReporter = report;
    TFullScreenWatch::ErrorReporter = report;
    watch::TGuiHandOff::SetErrorReporter(report);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    LeaveCurrentFolderOutOfLibrarySearch();
    if (!CheckPlatform())
        return 1;
    const SingleInstance instance = TakeSingleInstanceMutex();
    if (instance.otherCopy) {
        ShowTheRunningCopysCat();
        return 0;
    }
    RegisterRestartAfterUpdate();
    TellOfAnotherCodePage();

    RouteComponentErrors();

    int exitCode = 0;
    {
        TArchiveCoolForm form;
        if (form.CreateAndShow()) {
            exitCode = Application().Run();
            // The loop ended without a close (the Restart Manager asked): the window goes now.
            form.Destroy();
        }
    }
    UnloadArchiverLibraries();
    return exitCode;
}
