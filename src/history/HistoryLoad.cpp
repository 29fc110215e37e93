// Which stored values a history list is built from, and in what order.
#include "history/HistoryLoad.h"

#include <algorithm>
#include <utility>

void LoadHistoryList(THistoryList& list, int count, std::optional<std::uint32_t> valueCount,
                     const HistoryValueReader& read) {
    // A list written here holds "Count" and the entries "0" to Count - 1. A larger Count (a
    // broken value such as 0x7FFFFFFF) would only add missing entries, which all merge into
    // one empty entry, but reading them one by one would keep the start-up busy for hours:
    // no more are read than the key has values. A Count of 0 or below holds no entries;
    // counting down from the lowest int would wrap around to the highest.
    if (count <= 0)
        return;
    if (valueCount && static_cast<std::uint32_t>(count) > *valueCount)
        count = static_cast<int>(*valueCount);
    for (int i = count - 1; i >= 0; --i)
        list.Add(read(std::to_string(i)).value_or(""));
}

std::vector<std::string> LoadHistoryItems(int count, int maxLength, const HistoryValueReader& read,
                                          const THistoryList::Compare& compare) {
    std::vector<std::string> items;
    int n = std::min(count, maxLength);
    for (int i = 0; i < n; ++i) {
        std::string text = read(std::to_string(i)).value_or("");
        if (text.empty())
            break;
        auto same = std::find_if(items.begin(), items.end(),
                                 [&](const std::string& item) { return compare(item, text) == 0; });
        if (same != items.end())
            items.erase(same);
        items.push_back(std::move(text));
    }
    return items;
}
