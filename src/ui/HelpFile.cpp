// The help file beside the program, in the engine that can show it.
#include "ui/HelpFile.h"

#include <htmlhelp.h>

#include "ui/MessageBox.h"
#include "util/FileProbe.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

namespace {

constexpr const char* kHtmlHelpFile = "PAKICO.CHM";
constexpr const char* kOldHelpFile = "PAKICO.HLP";
// Windows 10 and 11 have no engine for the old format; where neither file can be shown the
// readme beside the program is the help there is.
constexpr const char* kNoHelp = "ヘルプファイル PAKICO.CHM を開けません。\r\n"
                                "パキコの使い方は、Pakico.exe と同じフォルダにある説明書 "
                                "Pakico.txt をご覧ください。";
// Windows shows no page of a compiled help file opened from a network folder (the help window
// opens empty): from there the note says so instead.
constexpr const char* kNoHelpFromNetwork =
    "ヘルプファイル PAKICO.CHM を開けません。\r\n"
    "ネットワーク上のフォルダにあるヘルプファイルは、Windows がページを表示しません。"
    "パキコのフォルダをこのコンピューターのドライブにコピーすると開けます。\r\n"
    "パキコの使い方は、Pakico.exe と同じフォルダにある説明書 Pakico.txt をご覧ください。";

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The platform's HTML help, from the system folder only (never a file of that name beside the
// program or in the current folder). Loaded at the first help shown and kept: the help window
// lives on after the call, and the engine is told to close it at the end.
HtmlHelpFunction HtmlHelpEngine() {
    static const HtmlHelpFunction engine = [] {
        char system[MAX_PATH] = "";
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return HtmlHelpFunction{};
        const std::string path = std::string(system, length) + "\\hhctrl.ocx";
        return win::FunctionIn<HtmlHelpFunction>(LoadLibraryA(path.c_str()), "HtmlHelpA");
    }();
    return engine;
}

bool htmlHelpShown = false;
// The window the HTML help showed last. A window of the settings dialog's help goes with the
// dialog, and an engine that has not seen it go (Wine's) shows the next page in it, unseen.
HWND htmlHelpWindow = nullptr;
std::string oldHelpShown; // the old engine's file, once it has been asked for one

// Asks the engine of the help file beside the program for the contents or a topic; the note
// where neither file is there, or the engines cannot take its path (they keep file names in
// buffers of MAX_PATH characters), or the HTML help is missing from the system or cannot show
// pages from the program's folder.
void ShowHelp(HWND owner, bool contents, DWORD topic) {
    const std::string folder = AddTrailingSeparator(ExecutableFolder());
    const std::string path = HelpFileIn(folder);
    const bool fromNetwork = path.ends_with(kHtmlHelpFile) && IsNetworkPath(folder);
    if (!path.empty() && path.size() < MAX_PATH && !fromNetwork) {
        if (path.ends_with(kOldHelpFile)) {
            oldHelpShown = path;
            WinHelpA(owner ? owner : GetDesktopWindow(), path.c_str(),
                     contents ? HELP_FINDER : HELP_CONTEXT, contents ? 0 : topic);
            return;
        }
        if (HtmlHelpFunction engine = HtmlHelpEngine()) {
            // Its last window went with the dialog that owned it: the engine starts afresh.
            if (htmlHelpWindow && !IsWindow(htmlHelpWindow))
                engine(nullptr, nullptr, HH_CLOSE_ALL, 0);
            htmlHelpShown = true;
            if (HWND shown =
                    engine(owner, path.c_str(), contents ? HH_DISPLAY_TOC : HH_HELP_CONTEXT,
                           contents ? 0 : topic))
                htmlHelpWindow = shown;
            return;
        }
    }
    ShowMessageBox(owner, fromNetwork ? kNoHelpFromNetwork : kNoHelp, MessageKind::Information,
                   MessageButton::OKOnly);
}

} // namespace

std::string HelpFileIn(const std::string& folder) {
    for (const char* name : {kHtmlHelpFile, kOldHelpFile})
        if (FileExistsQuiet(folder + name))
            return folder + name;
    return {};
}

void ShowHelpContents(HWND owner) {
    ShowHelp(owner, true, 0);
}

void ShowHelpTopic(HWND owner, DWORD topic) {
    ShowHelp(owner, false, topic);
}

void QuitHelp() {
    if (htmlHelpShown)
        HtmlHelpEngine()(nullptr, nullptr, HH_CLOSE_ALL, 0);
    if (!oldHelpShown.empty())
        WinHelpA(GetDesktopWindow(), oldHelpShown.c_str(), HELP_QUIT, 0);
    htmlHelpShown = false;
    htmlHelpWindow = nullptr;
    oldHelpShown.clear();
}
