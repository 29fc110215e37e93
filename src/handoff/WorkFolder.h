// Folder rules shared with the companion through the settings: its work folder and the start
// folder of the archive open dialog.
#pragma once

#include "util/Errors.h"

#include <string>

// The work folder could not be made: "作業フォルダが作成できません。フォルダ名 = <folder>".
class ETempError : public EAppError {
  public:
    using EAppError::EAppError;
};

// Where the work folder is, whether or not it is there: "~MORVA(" inside the "WorkPath" setting
// when that names an existing folder, else inside the temporary folder. Empty when the temporary
// folder's name has characters the code page lacks and no short form.
std::string WorkFolderPath();

// "~MORVA(" inside the "WorkPath" setting when that names an existing folder, else inside the
// temporary folder; created when missing. Raises ETempError when it cannot be created.
std::string GetWorkFolder();

// The string "RecentPath" of the section; empty when absent.
std::string ReadRecentPath(const std::string& section);

// The open dialog's start folder as the section's "OpenType" (defaultType when absent) names
// it: 1 its "RecentPath", 2 its "FixedPath", anything else none (empty).
std::string ResolveOpenFolder(const std::string& section, int defaultType);
