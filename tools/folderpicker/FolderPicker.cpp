// A test-only program that opens the folder dialog the way the program's callers will, so
// that end-to-end tests can drive the real dialog from another process. Usage:
//   FolderPicker.exe <result file> [caption] [subtitle 1] [subtitle 2] [initial folder]
// It writes "result=", "path=", "leaks=" and one "error=" line per reported error.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

#include "folders/FolderItemData.h"
#include "folders/TreeForm.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"

namespace {

int leakedRecords = 0;

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i) {
        int n = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, text.data(), n, nullptr, nullptr);
        text.resize(text.size() - 1);
        out.push_back(text);
    }
    LocalFree(wide);
    return out;
}

LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::vector<std::string> args = Arguments();
    if (args.empty())
        return 3;
    args.resize(5);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<std::string> errors;
    ui::SetErrorSink([&errors](const std::string& message) { errors.push_back(message); });
    MessagesStayOnTop = true;

    // The caller's form, as the icon window or the settings dialog would be.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &OwnerProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = "PakicoPickerOwner";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "FolderPicker", WS_OVERLAPPED | WS_CAPTION,
                                 40, 40, 200, 80, nullptr, nullptr, instance, nullptr);
    ShowWindow(owner, SW_SHOWNORMAL);

    int result = 0;
    std::string path;
    {
        folders::TShellSession session;
        folders::TShellSession::SetLeakReporter([](int live) { leakedRecords = live; });
        result = ShowFolderDialog(1, owner, args[1], args[2], args[3], args[4], path);
    }
    DestroyWindow(owner);

    std::ofstream out(args[0], std::ios::binary);
    out << "result=" << result << "\r\npath=" << path << "\r\nleaks=" << leakedRecords << "\r\n";
    for (const std::string& error : errors)
        out << "error=" << error << "\r\n";
    return 0;
}
