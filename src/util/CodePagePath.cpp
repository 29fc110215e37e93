// Wide text and paths in the program's code page, never by best fit.
#include "util/CodePagePath.h"

#include <atomic>
#include <climits>
#include <vector>

namespace {

std::atomic<ShortPathNameCall> shortPathName{GetShortPathNameW};

// WC_ERR_INVALID_CHARS: the headers name it from Vista on, the only systems where the code page
// can be UTF-8.
constexpr DWORD kErrInvalidChars = 0x80;

int Length(std::wstring_view text) {
    return static_cast<int>(text.size());
}

// The conversion, or none when a character had no form of its own. UTF-8 (the system's code
// page when "Unicode UTF-8 for worldwide language support" is on) takes no best-fit flag and
// has a form for every character but a lone surrogate.
std::optional<std::string> Convert(std::wstring_view text, bool exact) {
    if (text.empty())
        return std::string();
    if (text.size() > INT_MAX / 4)
        return std::nullopt;
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? (exact ? kErrInvalidChars : 0) : WC_NO_BEST_FIT_CHARS;
    BOOL replaced = FALSE;
    BOOL* replacedOut = utf8 || !exact ? nullptr : &replaced;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), Length(text), nullptr, 0,
                                          nullptr, replacedOut);
    if (bytes <= 0 || replaced)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), Length(text), out.data(), bytes, nullptr,
                            replacedOut) != bytes ||
        replaced)
        return std::nullopt;
    return out;
}

} // namespace

std::wstring WideText(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

std::optional<std::string> ExactCodePageText(std::wstring_view text) {
    return Convert(text, true);
}

std::optional<std::string> CodePagePath(std::wstring_view path) {
    if (auto exact = ExactCodePageText(path))
        return exact;
    // Without short names on the volume the platform answers with the long path itself, which
    // fails the same test again.
    if (auto shortPath = ShortPathForm(path))
        return ExactCodePageText(*shortPath);
    return std::nullopt;
}

std::optional<std::wstring> ShortPathForm(std::wstring_view path) {
    const std::wstring longPath(path);
    const ShortPathNameCall call = shortPathName.load();
    const DWORD needed = call(longPath.c_str(), nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = call(longPath.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed)
        return std::nullopt;
    return std::wstring(buffer.data(), length);
}

std::wstring ExtendedLengthPath(std::wstring_view given) {
    std::wstring path(given);
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(needed + 1);
    const DWORD length = GetFullPathNameW(path.c_str(), needed + 1, full.data(), nullptr);
    if (needed > 0 && length > 0 && length <= needed)
        path.assign(full.data(), length);
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return L"\\\\?\\" + path;
    if (path.size() >= 3 && path.substr(0, 2) == L"\\\\" && path[2] != L'?' && path[2] != L'.')
        return L"\\\\?\\UNC" + path.substr(1);
    return path;
}

std::string CodePageTextForDisplay(std::wstring_view text) {
    return Convert(text, false).value_or(std::string());
}

ShortPathNameCall ReplaceShortPathNameCall(ShortPathNameCall call) {
    return shortPathName.exchange(call ? call : GetShortPathNameW);
}
