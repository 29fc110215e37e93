// Checks of names, folders and write access that tell the user, in their own messages, what is
// wrong; each returns false after its message and never raises.
#pragma once

#include <windows.h>

#include <string>

#include "util/PathRules.h"

// False, after an error message naming the forbidden characters, when the name holds one of
// \ / : , ; * ? " < > |.
bool IsValidFileName(HWND owner, const std::string& name);

// Checks each component of the path that is followed by a separator: none may be omitted, each
// must be a valid name and an existing folder; a UNC path must be an existing folder. Callers
// append a separator so that the last component is examined too.
bool ValidateFolderPath(HWND owner, const std::string& path);

// Creates and deletes the marker file in the folder itself; for a folder that does not exist
// yet, at the root of its drive (in its parent for a UNC path). On a local drive a failure
// offers Retry and Cancel until the user cancels.
bool CheckFolderWritable(HWND owner, const std::string& path);
