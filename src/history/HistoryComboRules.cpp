// What a history combo box item shows.
#include "history/HistoryComboRules.h"

namespace {
bool IsDriveRootLength(const std::string& text) {
    return text.size() < 4;
}
} // namespace

std::string ShellLookupPath(const std::string& text, bool removable, bool exists,
                            const std::string& ownFolder) {
    if (removable)
        return IsDriveRootLength(text) ? text : ownFolder;
    return exists ? text : ownFolder;
}

bool ShowsDisplayName(const std::string& text, const std::string& displayName, bool folderExists) {
    return IsDriveRootLength(text) && !displayName.empty() && folderExists;
}
