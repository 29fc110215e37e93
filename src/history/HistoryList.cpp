// A list of recently used paths.
#include "history/HistoryList.h"

#include <utility>

THistoryList::THistoryList(Compare compareIgnoringCase)
    : compare_(std::move(compareIgnoringCase)) {}

void THistoryList::Add(const std::string& path) {
    int found = IndexOf(path);
    if (found >= 0) {
        std::string kept = std::move(entries_[static_cast<size_t>(found)]);
        entries_.erase(entries_.begin() + found);
        entries_.insert(entries_.begin(), std::move(kept));
        return;
    }
    entries_.insert(entries_.begin(), path);
    while (Count() > Capacity)
        entries_.pop_back();
}

int THistoryList::IndexOf(const std::string& path) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (compare_(entries_[i], path) == 0)
            return static_cast<int>(i);
    return -1;
}

void THistoryList::Delete(int index) {
    if (index >= 0 && index < Count())
        entries_.erase(entries_.begin() + index);
}
