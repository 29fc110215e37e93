// File group descriptors of a drag, and safe names for the files they describe.
#include "shell/FileDescriptors.h"

#include <algorithm>
#include <array>

namespace vfiles {

namespace {

// The descriptor's flags that say which fields hold something.
constexpr std::uint32_t kHasAttributes = 0x04;
constexpr std::uint32_t kHasCreationTime = 0x08;
constexpr std::uint32_t kHasAccessTime = 0x10;
constexpr std::uint32_t kHasWriteTime = 0x20;
constexpr std::uint32_t kHasSize = 0x40;
constexpr std::uint32_t kDirectoryAttribute = 0x10;

// Where the fields lie in a record.
constexpr std::size_t kAttributesAt = 36;
constexpr std::size_t kCreationTimeAt = 40;
constexpr std::size_t kAccessTimeAt = 48;
constexpr std::size_t kWriteTimeAt = 56;
constexpr std::size_t kSizeAt = 64;
constexpr std::size_t kNameAt = 72;
constexpr std::size_t kNameLength = 260;

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void PutU32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

FileTime ReadTime(const std::uint8_t* p) {
    return FileTime{ReadU32(p), ReadU32(p + 4)};
}

std::optional<FileTime> TimeIf(bool given, const std::uint8_t* p) {
    return given ? std::optional<FileTime>(ReadTime(p)) : std::nullopt;
}

std::u16string ReadName(const std::uint8_t* p, bool wide, const AnsiToWide& toWide) {
    if (wide) {
        std::u16string name;
        for (std::size_t i = 0; i < kNameLength; ++i) {
            const char16_t c = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
            if (c == 0)
                break;
            name.push_back(c);
        }
        return name;
    }
    const auto* bytes = reinterpret_cast<const char*>(p);
    const std::size_t length = std::find(bytes, bytes + kNameLength, '\0') - bytes;
    return toWide && length ? toWide(std::string_view(bytes, length)) : std::u16string();
}

bool IsSurrogateLead(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

// Cuts text to at most `length` units, never between the two halves of a character.
void CutTo(std::u16string& text, std::size_t length) {
    if (text.size() <= length)
        return;
    text.resize(length);
    if (!text.empty() && IsSurrogateLead(text.back()))
        text.pop_back();
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsAsciiUpper(std::u16string_view text, std::u16string_view upper) {
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(),
                      [](char16_t a, char16_t b) { return AsciiUpper(a) == b; });
}

// The platform opens a device instead of a file for these names, with any extension: the part
// before the first dot, without the blanks at its end, is what counts.
bool IsDeviceName(std::u16string_view part) {
    std::u16string_view stem = part.substr(0, part.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.remove_suffix(1);
    for (std::u16string_view device :
         {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$", u"CLOCK$"})
        if (EqualsAsciiUpper(stem, device))
            return true;
    // COM and LPT with one digit, the superscript ones included.
    if (stem.size() != 4 || !(EqualsAsciiUpper(stem.substr(0, 3), u"COM") ||
                              EqualsAsciiUpper(stem.substr(0, 3), u"LPT")))
        return false;
    const char16_t digit = stem[3];
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
           digit == u'\u00B3';
}

bool IsForbidden(char16_t c) {
    return c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos;
}

// One part of a name made safe; empty when nothing is left of it.
std::u16string SafePart(std::u16string_view raw) {
    std::u16string part(raw);
    std::replace_if(part.begin(), part.end(), IsForbidden, u'_');
    // Room is kept for the '_' in front of a device's name.
    constexpr std::size_t kRoom = kLongestName - 1;
    if (part.size() > kRoom) {
        // The extension says what the file is: it stays when it is a short one.
        const std::size_t dot = part.rfind(u'.');
        const bool keepExtension =
            dot != std::u16string::npos && dot > 0 && part.size() - dot <= 16;
        const std::u16string extension = keepExtension ? part.substr(dot) : std::u16string();
        part.resize(keepExtension ? dot : part.size());
        CutTo(part, kRoom - extension.size());
        part += extension;
    }
    while (!part.empty() && (part.back() == u'.' || part.back() == u' '))
        part.pop_back();
    if (!part.empty() && IsDeviceName(part))
        part.insert(part.begin(), u'_');
    return part;
}

} // namespace

FileGroup ParseFileGroup(const std::uint8_t* block, std::size_t size, bool wide,
                         const AnsiToWide& toWide) {
    FileGroup group;
    if (!block || size < 4)
        return group;
    group.count = ReadU32(block);
    if (group.count == 0)
        return group;
    if (group.count > kMostItems) {
        group.verdict = GroupVerdict::TooMany;
        return group;
    }
    const std::size_t record = wide ? kWideRecordSize : kAnsiRecordSize;
    if ((size - 4) / record < group.count)
        return group;
    group.items.reserve(group.count);
    for (std::uint32_t i = 0; i < group.count; ++i) {
        const std::uint8_t* r = block + 4 + std::size_t(i) * record;
        const std::uint32_t flags = ReadU32(r);
        DescribedItem item;
        item.name = ReadName(r + kNameAt, wide, toWide);
        item.folder =
            (flags & kHasAttributes) && (ReadU32(r + kAttributesAt) & kDirectoryAttribute);
        if (flags & kHasSize)
            item.size = std::uint64_t(ReadU32(r + kSizeAt)) << 32 | ReadU32(r + kSizeAt + 4);
        item.created = TimeIf(flags & kHasCreationTime, r + kCreationTimeAt);
        item.accessed = TimeIf(flags & kHasAccessTime, r + kAccessTimeAt);
        item.written = TimeIf(flags & kHasWriteTime, r + kWriteTimeAt);
        group.items.push_back(std::move(item));
    }
    group.verdict = GroupVerdict::Items;
    return group;
}

std::string BuildFileGroup(const std::vector<DescribedItem>& items, bool wide) {
    const std::size_t record = wide ? kWideRecordSize : kAnsiRecordSize;
    std::string out(4 + items.size() * record, '\0');
    PutU32(out, 0, static_cast<std::uint32_t>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DescribedItem& item = items[i];
        const std::size_t at = 4 + i * record;
        std::uint32_t flags = kHasAttributes;
        PutU32(out, at + kAttributesAt, item.folder ? kDirectoryAttribute : 0x80);
        const std::pair<const std::optional<FileTime>&, std::pair<std::uint32_t, std::size_t>>
            times[] = {{item.created, {kHasCreationTime, kCreationTimeAt}},
                       {item.accessed, {kHasAccessTime, kAccessTimeAt}},
                       {item.written, {kHasWriteTime, kWriteTimeAt}}};
        for (const auto& [time, where] : times)
            if (time) {
                flags |= where.first;
                PutU32(out, at + where.second, time->low);
                PutU32(out, at + where.second + 4, time->high);
            }
        if (item.size) {
            flags |= kHasSize;
            PutU32(out, at + kSizeAt, static_cast<std::uint32_t>(*item.size >> 32));
            PutU32(out, at + kSizeAt + 4, static_cast<std::uint32_t>(*item.size));
        }
        PutU32(out, at, flags);
        const std::size_t length = std::min(item.name.size(), kNameLength - 1);
        for (std::size_t c = 0; c < length; ++c) {
            if (wide) {
                out[at + kNameAt + 2 * c] = static_cast<char>(item.name[c] & 0xFF);
                out[at + kNameAt + 2 * c + 1] = static_cast<char>(item.name[c] >> 8);
            } else {
                out[at + kNameAt + c] = static_cast<char>(item.name[c] & 0xFF);
            }
        }
    }
    return out;
}

std::vector<std::u16string> SafeComponents(std::u16string_view name) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of(u"\\/", start);
        if (end == std::u16string_view::npos)
            end = name.size();
        std::u16string part = SafePart(name.substr(start, end - start));
        if (!part.empty())
            parts.push_back(std::move(part));
        start = end + 1;
    }
    if (parts.empty())
        parts.push_back(u"_");
    return parts;
}

std::u16string NumberedName(std::u16string_view component, unsigned n) {
    std::u16string suffix = u" (";
    for (char c : std::to_string(n))
        suffix.push_back(static_cast<char16_t>(c));
    suffix.push_back(u')');
    std::size_t dot = component.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0 ||
        component.size() - dot + suffix.size() > kLongestName)
        dot = component.size();
    std::u16string stem(component.substr(0, dot));
    CutTo(stem, kLongestName - suffix.size() - (component.size() - dot));
    return stem + suffix + std::u16string(component.substr(dot));
}

} // namespace vfiles
