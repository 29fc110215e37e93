// Text comparisons by the user's locale.
#pragma once

#include <string>

// Both texts with the ASCII letters lowered (trail bytes untouched), then compared by the
// locale's case-sensitive order: negative, 0 or positive.
int SameTextAscii(const std::string& a, const std::string& b);

// Compared ignoring case by the locale's rules (also full-width letters): negative, 0 or positive.
int CompareTextIgnoreCase(const std::string& a, const std::string& b);
