// What a history combo box item shows (no Win32 calls): which path the shell is asked about,
// and when a drive's display name replaces its root.
#pragma once

#include <string>

// The path whose icon and display name stand for `text`. A removable drive is asked about
// only as its root, so that its medium is never read; any deeper path there, and any path that
// does not exist, is shown with the icon of the program's own folder.
std::string ShellLookupPath(const std::string& text, bool removable, bool exists,
                            const std::string& ownFolder);

// A drive root (shorter than four characters) that exists shows the drive's display name.
bool ShowsDisplayName(const std::string& text, const std::string& displayName, bool folderExists);
