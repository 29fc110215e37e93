// Captions of the history menus (no Win32 calls): numbered entries whose numbers line up on
// the right, "&0 " to "&9 " beside "&10 " and above.
#pragma once

#include <string>
#include <vector>

// The width of the number field for `shown` numbered entries: the digits of the last number
// plus the ampersand and the space; 0 when nothing is shown.
int HistoryCaptionWidth(int shown);

// `prefix` right-aligned in a field of `width` characters (spaces on the left), then `text`:
// the "%*s%s" of the menus.
std::string FormatHistoryCaption(int width, const std::string& prefix, const std::string& text);

// "&" + the number + " ".
std::string HistoryNumberPrefix(int number);

// The text with every '&' doubled, so a menu shows it instead of underlining the next letter.
std::string MenuLiteral(const std::string& text);

// The captions of numbered entries 0, 1, ... for the given shown paths; an '&' in a path is
// shown as it is ("Tom & Jerry.lzh"), not taken for a mnemonic.
std::vector<std::string> NumberedHistoryCaptions(const std::vector<std::string>& shownPaths);

// The entry as the menu shows it: the entry itself, or, when it begins with `basePath` (the
// case of ASCII letters ignored), the rest after it cut to 260 bytes without splitting a
// double-byte character.
std::string ShownHistoryPath(const std::string& entry, const std::string& basePath);
