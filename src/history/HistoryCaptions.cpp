// Captions of the history menus.
#include "history/HistoryCaptions.h"

#include "util/Mbcs.h"

namespace {
constexpr size_t kMaxShownPath = 260;
}

int HistoryCaptionWidth(int shown) {
    if (shown <= 0)
        return 0;
    return static_cast<int>(std::to_string(shown - 1).size()) + 2;
}

std::string FormatHistoryCaption(int width, const std::string& prefix, const std::string& text) {
    std::string caption;
    if (width > 0 && prefix.size() < static_cast<size_t>(width))
        caption.assign(static_cast<size_t>(width) - prefix.size(), ' ');
    return caption + prefix + text;
}

std::string HistoryNumberPrefix(int number) {
    return "&" + std::to_string(number) + " ";
}

std::string MenuLiteral(const std::string& text) {
    // '&' (0x26) is never the second byte of a double-byte character, so a plain scan is safe.
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

std::vector<std::string> NumberedHistoryCaptions(const std::vector<std::string>& shownPaths) {
    int width = HistoryCaptionWidth(static_cast<int>(shownPaths.size()));
    std::vector<std::string> captions;
    for (size_t i = 0; i < shownPaths.size(); ++i)
        captions.push_back(FormatHistoryCaption(width, HistoryNumberPrefix(static_cast<int>(i)),
                                                MenuLiteral(shownPaths[i])));
    return captions;
}

std::string ShownHistoryPath(const std::string& entry, const std::string& basePath) {
    if (basePath.empty() || entry.size() < basePath.size() ||
        mbcs::AsciiLower(entry.substr(0, basePath.size())) != mbcs::AsciiLower(basePath))
        return entry;
    std::string shown = entry.substr(basePath.size());
    size_t end = 0;
    while (end < shown.size()) {
        size_t next = mbcs::NextChar(shown, end);
        if (next > kMaxShownPath)
            break;
        end = next;
    }
    return shown.substr(0, end);
}
