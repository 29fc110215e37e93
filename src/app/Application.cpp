// The application object and its message loop.
#include "app/Application.h"

#include "ui/ErrorReport.h"
#include "util/PathText.h"

#include <windows.h>

#include <vector>

namespace {
std::string ProgramFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size())
            return ExtractFilePath(std::string(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}
} // namespace

const char* TApplication::Title() {
    return ui::ApplicationTitle();
}

std::string TApplication::HelpFile() {
    // The folder part ends in a separator; one is added only if it somehow does not.
    return AddTrailingSeparator(ProgramFolder()) + "PAKICO.HLP";
}

void TApplication::ShowHelpContents() {
    WinHelpA(GetDesktopWindow(), HelpFile().c_str(), HELP_FINDER, 0);
}

void TApplication::QuitHelp() {
    WinHelpA(GetDesktopWindow(), HelpFile().c_str(), HELP_QUIT, 0);
}

int TApplication::Run() {
    MSG msg;
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
