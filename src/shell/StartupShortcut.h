// Residence at Windows start-up: the shortcut "Pakico.lnk" in the user's Startup folder, and the
// choice about it that Windows keeps apart from the file (Task Manager turns a start-up item off
// and on again without touching the shortcut).
#pragma once

#include <string>

// The shortcut's file name in the Startup folder.
inline constexpr const char* kStartupShortcutName = "Pakico.lnk";

// The shortcut's path; empty when the system names no Startup folder.
std::string StartupShortcutPath();

// The shortcut is there and Windows starts the program with it at sign-in: it is not turned off.
bool StartupShortcutRuns();

// The user asked for residence at start-up: a shortcut turned off is turned on again.
void TurnOnStartupShortcut();
