// The application object and its message loop.
#include "app/Application.h"

#include "util/SystemLookups.h"

#include <windows.h>

void TApplication::ShowHelpContents() {
    WinHelpA(GetDesktopWindow(), HelpFilePath().c_str(), HELP_FINDER, 0);
}

void TApplication::QuitHelp() {
    WinHelpA(GetDesktopWindow(), HelpFilePath().c_str(), HELP_QUIT, 0);
}

int TApplication::Run() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

TApplication& Application() {
    static TApplication application;
    return application;
}
