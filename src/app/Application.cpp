// The application object and its message loop.
#include "app/Application.h"

#include "ui/HelpFile.h"

#include <windows.h>

void TApplication::ShowHelpContents() {
    ::ShowHelpContents(nullptr);
}

void TApplication::QuitHelp() {
    ::QuitHelp();
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
