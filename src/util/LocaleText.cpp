// Text comparisons by the user's locale.
#include "util/LocaleText.h"

#include "util/Mbcs.h"

#include <windows.h>

namespace {
int CompareLocale(DWORD flags, const std::string& a, const std::string& b) {
    // CompareStringA answers 1, 2 or 3 for less, equal and greater.
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}
} // namespace

int SameTextAscii(const std::string& a, const std::string& b) {
    return CompareLocale(0, mbcs::AsciiLower(a), mbcs::AsciiLower(b));
}

int CompareTextIgnoreCase(const std::string& a, const std::string& b) {
    return CompareLocale(NORM_IGNORECASE, a, b);
}
