// The platform's temporary folder, where hand-off lists are written.
#pragma once

#include <string>

// The folder as GetTempPathA gives it (normally ending in '\\'); empty when it cannot be had.
// The buffer is sized from the platform's answer, so a folder longer than MAX_PATH comes whole.
std::string GetTempFolderPath();
