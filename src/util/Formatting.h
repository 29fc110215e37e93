// Text for sizes and counts, without the locale look-ups: the caller passes what the user's
// locale says (the Win32 side reads it).
#pragma once

#include <string>
#include <string_view>

// bytes / 1024 as KB while below 1025, else MB while below 1025, else GB; two decimals with
// `decimalSeparator`, a blank and the unit: 1048576 gives "1024.00 KB", 1049600 "1.00 MB".
std::string FormatByteSizeWith(double bytes, std::string_view decimalSeparator);

// The text without its first character (one or two bytes): a currency amount without its sign.
std::string WithoutFirstChar(std::string_view text);

// The locale's digit grouping text ("3;0", "3;2;0", "3") as the number the platform's number and
// currency formats take (3, 32, 30).
unsigned GroupingFromLocaleText(std::string_view text);
