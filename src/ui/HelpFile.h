// The program's help file beside it: PAKICO.CHM in the platform's HTML help, or, where only an
// old PAKICO.HLP lies there, that one in the old help engine; with neither, or with the program
// in a network folder (where Windows shows no page of PAKICO.CHM), a note saying where the
// program's instructions are. GUI thread only.
#pragma once

#include <windows.h>

#include <string>

// The help file in the folder (ending in '\\'): "PAKICO.CHM" when it is there, else
// "PAKICO.HLP" when that is there, else empty.
std::string HelpFileIn(const std::string& folder);

// The help file's contents and index (the menu's Help).
void ShowHelpContents(HWND owner);
// One topic of the help file by its number (the settings dialog's pages and controls).
void ShowHelpTopic(HWND owner, DWORD topic);
// Closes what the help engines have shown for the program; at its end.
void QuitHelp();
