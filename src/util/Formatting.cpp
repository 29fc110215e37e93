// Text for sizes and counts.
#include "util/Formatting.h"

#include <charconv>

#include "util/Mbcs.h"

std::string FormatByteSizeWith(double bytes, std::string_view decimalSeparator) {
    double x = bytes / 1024;
    const char* unit = "KB";
    if (x >= 1025) {
        x /= 1024;
        unit = "MB";
        if (x >= 1025) {
            x /= 1024;
            unit = "GB";
        }
    }
    // Room for the largest double in fixed notation (309 digits) with sign and decimals.
    char digits[400];
    auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, x, std::chars_format::fixed, 2);
    std::string number = error == std::errc() ? std::string(digits, end) : std::string("0.00");
    std::size_t point = number.find('.');
    if (point != std::string::npos)
        number.replace(point, 1, decimalSeparator);
    return number + " " + unit;
}

std::string WithoutFirstChar(std::string_view text) {
    if (text.empty())
        return {};
    return std::string(text.substr(mbcs::NextChar(text, 0)));
}

unsigned GroupingFromLocaleText(std::string_view text) {
    // A final 0 means "repeat the last group"; without it the remaining digits stay ungrouped,
    // which the number form says with a final 0 digit.
    unsigned grouping = 0;
    bool lastWasZero = false;
    bool any = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            continue;
        lastWasZero = c == '0';
        if (!lastWasZero || !any)
            grouping = grouping * 10 + static_cast<unsigned>(c - '0');
        any = true;
    }
    if (any && !lastWasZero)
        grouping *= 10;
    return grouping;
}
