// Fuzz target: history lists as the registry hands them back. The input is the "Count" value
// (4 bytes, little-endian), a byte giving how many values the key holds besides the entries,
// a byte giving the combo boxes' most entries (signed), then the values "0", "1", ... one a
// line; a line of a single DEL (0x7F) stands for a value that is missing.
#include "history/HistoryLoad.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

// The key's values; remembers which names were asked for.
struct Key {
    std::vector<std::optional<std::string>> values;
    std::vector<std::string> asked;

    std::optional<std::string> Read(const std::string& name) {
        asked.push_back(name);
        std::size_t i = 0;
        auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), i);
        if (error != std::errc() || end != name.data() + name.size() || i >= values.size() ||
            std::to_string(i) != name)
            return std::nullopt;
        return values[i];
    }
    bool Holds(const std::string& text) const {
        return text.empty() || std::find(values.begin(), values.end(), text) != values.end();
    }
};

std::vector<std::string> Names(int from, int to, int step) {
    std::vector<std::string> names;
    for (int i = from; i != to; i += step)
        names.push_back(std::to_string(i));
    return names;
}

void CheckDistinct(const std::vector<std::string>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        for (std::size_t j = i + 1; j < entries.size(); ++j)
            Check(CompareAsciiIgnoringCase(entries[i], entries[j]) != 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6)
        return 0;
    const int count = ReadInt32(data);
    const int maxLength = static_cast<std::int8_t>(data[5]);
    Key key;
    std::string_view rest(reinterpret_cast<const char*>(data + 6), size - 6);
    for (std::size_t at = 0; at <= rest.size();) {
        std::size_t end = std::min(rest.find('\n', at), rest.size());
        std::string_view line = rest.substr(at, end - at);
        key.values.push_back(line == "\x7F" ? std::nullopt : std::optional<std::string>(line));
        at = end + 1;
    }
    // The registry counts "Count" and any stray values too.
    const auto valueCount = static_cast<std::uint32_t>(key.values.size() + data[4] % 4);
    auto read = [&key](const std::string& name) { return key.Read(name); };

    // The menus: oldest first, never more than the key holds; "0" ends in front.
    THistoryList list(&CompareAsciiIgnoringCase);
    LoadHistoryList(list, count, valueCount, read);
    int entries = count > 0 ? static_cast<int>(std::min<std::uint32_t>(count, valueCount)) : 0;
    Check(key.asked == Names(entries - 1, -1, -1));
    Check(list.Count() <= THistoryList::Capacity);
    Check(list.Count() <= entries);
    CheckDistinct(list.Entries());
    for (const std::string& entry : list.Entries())
        Check(key.Holds(entry));
    if (entries > 0)
        Check(CompareAsciiIgnoringCase(list[0], key.Read("0").value_or("")) == 0);

    // The combo boxes: from "0" on, up to the first empty value, the latest spelling last.
    key.asked.clear();
    std::vector<std::string> items =
        LoadHistoryItems(count, maxLength, read, &CompareAsciiIgnoringCase);
    int limit = std::max(0, std::min(count, maxLength));
    Check(static_cast<int>(key.asked.size()) <= limit);
    Check(key.asked == Names(0, static_cast<int>(key.asked.size()), 1));
    Check(items.size() <= key.asked.size());
    CheckDistinct(items);
    for (const std::string& item : items)
        Check(!item.empty() && key.Holds(item));
    if (!items.empty()) {
        std::size_t lastRead = key.asked.size() - 1;
        bool stopped = lastRead >= key.values.size() || key.values[lastRead].value_or("").empty();
        Check(items.back() == *key.values[stopped ? lastRead - 1 : lastRead]);
    }
    return 0;
}
