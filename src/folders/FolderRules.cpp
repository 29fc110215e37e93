// The folder picker's portable rules.
#include "folders/FolderRules.h"

#include "util/Formatting.h"
#include "util/Mbcs.h"
#include "util/PathText.h"

namespace folders {

bool IsDriveRoot(std::string_view path) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() == 2)
        return letter(path[0]) && path[1] == ':';
    return path.size() == 3 && letter(path[0]) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

std::string NodePathFromShell(std::string_view shellPath, bool fileSystem) {
    if (!fileSystem || shellPath.empty() || shellPath.substr(0, 2) == "::")
        return {};
    if (IsDriveRoot(shellPath))
        return std::string(shellPath.substr(0, 2)) + '\\';
    // "\\server\share\" keeps its leading pair: only one trailing separator goes.
    return RemoveTrailingSeparator(shellPath);
}

bool ListedAsFolder(unsigned long attributes) {
    return (attributes & (kItemFileSystem | kItemFileSystemAncestor)) != 0 &&
           (attributes & kItemStream) == 0;
}

bool LiesDirectlyInside(std::string_view path, std::string_view folder) {
    if (path.empty() || folder.empty() || IsDriveRoot(path))
        return false;
    return mbcs::FileNameUpper(ExtractFileDir(RemoveTrailingSeparator(path))) ==
           mbcs::FileNameUpper(NormalizeFolderPath(folder));
}

std::string ShortFolderName(std::string_view path) {
    if (path.size() < 4)
        return std::string(path);
    return mbcs::ExtractFileName(RemoveTrailingSeparator(path));
}

std::string FormatFreeSpace(const std::string& driveText, double freeBytes,
                            std::string_view decimalSeparator) {
    if (driveText.empty())
        return {};
    if (freeBytes < 0)
        return driveText;
    return driveText + " 空きディスク領域: " + FormatByteSizeWith(freeBytes, decimalSeparator);
}

void TVisitTrail::Clear() {
    entries_.clear();
    position_ = 0;
    navigating_ = false;
}

void TVisitTrail::RecordVisit(const std::string& path) {
    if (path.empty() || navigating_)
        return;
    // The same folder selected again (after a refresh, say) is no new visit.
    if (position_ > 0 && entries_[static_cast<std::size_t>(position_ - 1)] == path)
        return;
    if (position_ == Count()) {
        entries_.push_back(path);
        position_ = Count();
    } else {
        entries_.insert(entries_.begin() + (position_ - 1), path);
    }
}

std::string TVisitTrail::NavigateTrail(int step) {
    const int target = position_ + step - 1;
    if (target < 0 || target >= Count())
        return {};
    position_ += step;
    return entries_[static_cast<std::size_t>(target)];
}

std::string TVisitTrail::BackHint() const {
    return CanGoBack() ? ShortFolderName(entries_[static_cast<std::size_t>(position_ - 2)]) : "";
}

std::string TVisitTrail::ForwardHint() const {
    return CanGoForward() ? ShortFolderName(entries_[static_cast<std::size_t>(position_)]) : "";
}

} // namespace folders
