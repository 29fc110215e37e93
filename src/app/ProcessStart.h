// The first steps of every start: the platform check, the single-instance mutex, the restart
// after an update and the word about a code page the program was not made for.
#pragma once

#include "util/ScopedWin.h"

// Windows 95/98, or NT 4.0 and later. Otherwise tells the user and the process ends with 1.
bool CheckPlatform();

// What the single-instance mutex says of this start.
struct SingleInstance {
    // Another copy runs (its mutex is never waited on): this one ends at once.
    bool otherCopy = false;
    // The mutex that marks this copy as running, held until it ends; empty when the system
    // could not make it, and the copy runs on unmarked.
    win::ScopedHandle marker;
};
SingleInstance TakeSingleInstanceMutex();

// The running copy's cat window is of this class; told with ShowCatMessage, it brings its cat
// back when it was hidden.
inline constexpr const char* kCatWindowClass = "TArchiveCoolForm";
UINT ShowCatMessage();
// A second start shows the running copy's cat instead of ending unseen: a person who starts the
// program again is looking for it.
void ShowTheRunningCopysCat();

// An installer that replaces a file the program holds has the Restart Manager close it (the
// program ends on ENDSESSION_CLOSEAPP); Windows then starts it again. Not after a crash or a
// hang, and not when the computer restarts, which the start-up shortcut serves. Nothing happens
// on a system without the registration (before Windows Vista).
void RegisterRestartAfterUpdate();
// The same through `registerRestart`, which stands for the platform's RegisterApplicationRestart
// and is null where the system lacks it. Tests replace it: Wine keeps no registration.
using RegisterRestartFn = HRESULT(WINAPI*)(const wchar_t* commandLine, DWORD flags);
void RegisterRestartAfterUpdate(RegisterRestartFn registerRestart);

// Every text of the program is Shift_JIS: under another ANSI code page (another system locale,
// or Windows' UTF-8 option) its menus and messages come out garbled and dropped names reach
// the companion in another encoding. Says so in a box of wide text, in Japanese and English,
// once for each code page: the one told is kept in the settings.
void TellOfAnotherCodePage();
