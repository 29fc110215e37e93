// Reading a stored history list (no Win32 calls): the caller reads the key's integer "Count"
// and hands in a reader of its strings "0", "1", ..., "0" being the newest.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/HistoryList.h"

// The string value of that name, or nothing when the key does not hold one.
using HistoryValueReader = std::function<std::optional<std::string>(const std::string& name)>;

// The menus' lists: values Count - 1 down to 0, oldest first, each through THistoryList::Add,
// so "0" ends in front and duplicates merge; a missing value counts as empty text. A positive
// Count larger than the key's number of values (when known) reads no more than that number.
void LoadHistoryList(THistoryList& list, int count, std::optional<std::uint32_t> valueCount,
                     const HistoryValueReader& read);

// The combo boxes' items: values 0 onwards, at most min(Count, maxLength), up to the first
// missing or empty one. A value equal to an item already read (`compare` gives 0) replaces it:
// the earlier item goes, the value is added at the end.
std::vector<std::string> LoadHistoryItems(int count, int maxLength, const HistoryValueReader& read,
                                          const THistoryList::Compare& compare);
