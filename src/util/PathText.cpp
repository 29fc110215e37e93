// Path and string routines for code page 932 paths.
#include "util/PathText.h"

#include "util/Mbcs.h"

bool EndsWithChar(std::string_view text, char c) {
    if (text.empty())
        return false;
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i))
        last = i;
    return last == text.size() - 1 && text[last] == c;
}

std::string AddTrailingSeparator(std::string_view path, char separator) {
    std::string out(path);
    if (!out.empty() && !EndsWithChar(out, '\\') && !EndsWithChar(out, '/'))
        out += separator;
    return out;
}

std::string RemoveTrailingSeparator(std::string_view path) {
    if (EndsWithChar(path, '\\') || EndsWithChar(path, '/'))
        path.remove_suffix(1);
    return std::string(path);
}

std::string NormalizeFolderPath(std::string_view path, char separator) {
    std::string out(path);
    if (out.size() == 1 && ((out[0] >= 'A' && out[0] <= 'Z') || (out[0] >= 'a' && out[0] <= 'z')))
        out = std::string(1, static_cast<char>(out[0] & ~0x20)) + ':' + separator;
    else if (EndsWithChar(out, ':'))
        out += separator;
    if (out.size() == 3 && EndsWithChar(out, separator))
        return out;
    return RemoveTrailingSeparator(out);
}

int DbcsPos(std::string_view pattern, std::string_view text) {
    if (pattern.empty())
        return 0;
    for (std::size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i))
        if (text.substr(i, pattern.size()) == pattern)
            return static_cast<int>(i) + 1;
    return 0;
}

bool IsUncPath(std::string_view path, char separator) {
    const char doubled[] = {separator, separator};
    return DbcsPos(std::string_view(doubled, 2), path) == 1;
}

int CountChar(std::string_view text, char c) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i))
        if (text[i] == c)
            ++count;
    return count;
}

std::string PathComponent(std::string_view path, int index, char separator) {
    std::size_t start = 0;
    std::size_t i = IsUncPath(path, separator) ? 2 : 0;
    for (int piece = 1; i < path.size(); i = mbcs::NextChar(path, i)) {
        if (path[i] != separator)
            continue;
        if (piece == index)
            return std::string(path.substr(start, i - start));
        ++piece;
        start = i + 1;
    }
    return {};
}

std::string ExtractFilePath(std::string_view path) {
    std::size_t sep = mbcs::LastDelimiter(path, "\\:");
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtractFileDir(std::string_view path) {
    std::string dir = ExtractFilePath(path);
    if (dir.size() > 1 && EndsWithChar(dir, '\\')) {
        std::string_view before(dir.data(), dir.size() - 1);
        if (!EndsWithChar(before, '\\') && !EndsWithChar(before, ':'))
            dir.pop_back();
    }
    return dir;
}
