// A list of recently used paths, newest first, that merges duplicates and keeps at most 32
// entries (no Win32 calls: the comparison that ignores case is handed in).
#pragma once

#include <functional>
#include <string>
#include <vector>

class THistoryList {
  public:
    // Negative, 0 or positive, ignoring case as the user's locale does.
    using Compare = std::function<int(const std::string&, const std::string&)>;
    static constexpr int Capacity = 32;

    explicit THistoryList(Compare compareIgnoringCase);

    // An entry equal to `path` (ignoring case) moves to the front and keeps its own spelling;
    // otherwise `path` goes in front and the oldest entries beyond the capacity are dropped.
    void Add(const std::string& path);
    // The position of the entry equal to `path` ignoring case, or -1.
    int IndexOf(const std::string& path) const;
    void Delete(int index);
    void Clear() { entries_.clear(); }

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& operator[](int index) const {
        return entries_.at(static_cast<size_t>(index));
    }
    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    Compare compare_;
    std::vector<std::string> entries_;
};
