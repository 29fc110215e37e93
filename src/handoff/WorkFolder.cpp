// The companion's work folder and the open dialog's start folder.
#include "handoff/WorkFolder.h"

#include "handoff/CommandLines.h"
#include "util/CodePagePath.h"
#include "util/SystemLookups.h"
#include "settings/SettingsStore.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"

#include <windows.h>

namespace {

// GetFileAttributesA answers and names a directory; an empty drive raises no box meanwhile.
bool IsExistingFolder(const std::string& path) {
    win::ScopedErrorMode quiet;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string WorkFolderPath() {
    const std::string tempFolder = GetTempFolder();
    std::string base = ReadSetting(settings::WorkPath, tempFolder);
    if (!IsExistingFolder(base))
        base = tempFolder;
    return base.empty() ? std::string() : WorkFolderIn(base);
}

std::string GetWorkFolder() {
    const std::string folder = WorkFolderPath();
    // A temporary folder whose name the code page cannot write (and that has no short form)
    // has no path here: the work folder is never made in the current folder instead.
    if (folder.empty())
        throw ETempError(FormatText(
            "作業フォルダが作成できません。フォルダ名 = %s",
            {WorkFolderIn(RemoveTrailingSeparator(CodePageTextForDisplay(WideTempPath())))}));
    if (IsExistingFolder(folder))
        return folder;
    // A file of the same name in the way is not a work folder either; creating the folder then
    // fails and says so.
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        throw ETempError(FormatText("作業フォルダが作成できません。フォルダ名 = %s", {folder}));
    return folder;
}

std::string ReadRecentPath(const std::string& section) {
    return ReadSettingString(section, settings::CommonRecentPath.name, "");
}

std::string ResolveOpenFolder(const std::string& section, int defaultType) {
    switch (OpenFolderSourceOf(
        ReadSettingInteger(section, settings::CommonOpenType.name, defaultType))) {
    case OpenFolderSource::RecentPath:
        return ReadRecentPath(section);
    case OpenFolderSource::FixedPath:
        return ReadSettingString(section, settings::CommonFixedPath.name, "");
    case OpenFolderSource::None:
        break;
    }
    return {};
}
