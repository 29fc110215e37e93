// File-name blocks and file-name maps of a drag, and the choice of drop effect.
#include "shell/DropFiles.h"

#include <cstring>

namespace dropfiles {

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void AppendU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Names from `pos` on, each ended by NUL; the list ends at an empty name or at the block's
// end, and a name without its terminator inside the block is not taken.
std::vector<std::string> ReadByteNames(const std::uint8_t* data, std::size_t pos,
                                       std::size_t size) {
    std::vector<std::string> names;
    while (pos < size) {
        const void* nul = std::memchr(data + pos, 0, size - pos);
        if (!nul)
            break;
        std::size_t length = static_cast<const std::uint8_t*>(nul) - (data + pos);
        if (length == 0)
            break;
        names.emplace_back(reinterpret_cast<const char*>(data + pos), length);
        pos += length + 1;
    }
    return names;
}

std::vector<std::string> ReadWideNames(const std::uint8_t* data, std::size_t pos, std::size_t size,
                                       const WideToAnsi& toAnsi) {
    std::vector<std::string> names;
    if (!toAnsi)
        return names;
    while (size - pos >= 2) {
        std::u16string name;
        bool terminated = false;
        while (size - pos >= 2) {
            char16_t c = static_cast<char16_t>(data[pos] | data[pos + 1] << 8);
            pos += 2;
            if (c == 0) {
                terminated = true;
                break;
            }
            name.push_back(c);
        }
        if (!terminated || name.empty())
            break;
        std::string converted = toAnsi(name);
        if (!converted.empty())
            names.push_back(std::move(converted));
    }
    return names;
}

std::vector<std::string> ReadNames(const std::uint8_t* data, std::size_t pos, std::size_t size,
                                   bool wide, const WideToAnsi& toAnsi) {
    if (!data || pos >= size)
        return {};
    return wide ? ReadWideNames(data, pos, size, toAnsi) : ReadByteNames(data, pos, size);
}

std::string Header(std::int32_t x, std::int32_t y, bool wide) {
    std::string out;
    AppendU32(out, kDropFilesHeaderSize);
    AppendU32(out, static_cast<std::uint32_t>(x));
    AppendU32(out, static_cast<std::uint32_t>(y));
    AppendU32(out, 0);
    AppendU32(out, wide ? 1 : 0);
    return out;
}

void AppendWide(std::string& out, std::u16string_view name) {
    for (char16_t c : name) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    out.append(2, '\0');
}

} // namespace

std::optional<DropFilesHeader> ReadDropFilesHeader(const std::uint8_t* block, std::size_t size) {
    if (!block || size < kDropFilesHeaderSize)
        return std::nullopt;
    DropFilesHeader header;
    header.namesOffset = ReadU32(block);
    header.x = static_cast<std::int32_t>(ReadU32(block + 4));
    header.y = static_cast<std::int32_t>(ReadU32(block + 8));
    header.nonClient = ReadU32(block + 12) != 0;
    header.wide = ReadU32(block + 16) != 0;
    return header;
}

std::vector<std::string> ParseDropFiles(const std::uint8_t* block, std::size_t size,
                                        const WideToAnsi& toAnsi) {
    std::optional<DropFilesHeader> header = ReadDropFilesHeader(block, size);
    // A list that starts inside the header would read the header's own fields as names.
    if (!header || header->namesOffset < kDropFilesHeaderSize || header->namesOffset >= size)
        return {};
    return ReadNames(block, header->namesOffset, size, header->wide, toAnsi);
}

std::vector<std::string> ParseNameList(const std::uint8_t* data, std::size_t size, bool wide,
                                       const WideToAnsi& toAnsi) {
    return ReadNames(data, 0, size, wide, toAnsi);
}

std::vector<std::string> MatchMappedNames(std::vector<std::string> mapped, std::size_t fileCount) {
    if (mapped.size() != fileCount)
        mapped.clear();
    return mapped;
}

std::string BuildDropFiles(const std::vector<std::string>& names, std::int32_t x, std::int32_t y) {
    return Header(x, y, false) + BuildNameList(names);
}

std::string BuildDropFilesWide(const std::vector<std::u16string>& names, std::int32_t x,
                               std::int32_t y) {
    return Header(x, y, true) + BuildNameListWide(names);
}

std::string BuildNameList(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += name;
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

std::string BuildNameListWide(const std::vector<std::u16string>& names) {
    std::string out;
    for (const std::u16string& name : names)
        AppendWide(out, name);
    out.append(2, '\0');
    return out;
}

TShiftState ShiftStateFromKeyState(std::uint32_t keyState) {
    TShiftState shift = 0;
    if (keyState & 0x01)
        shift |= ssLeft;
    if (keyState & 0x02)
        shift |= ssRight;
    if (keyState & 0x04)
        shift |= ssShift;
    if (keyState & 0x08)
        shift |= ssCtrl;
    if (keyState & 0x10)
        shift |= ssMiddle;
    if (keyState & 0x20)
        shift |= ssAlt;
    return shift;
}

std::uint32_t MaskDropEffects(std::uint32_t allowed, TDragTypes dragTypes) {
    return allowed & dragTypes & (kEffectCopy | kEffectMove | kEffectLink);
}

std::uint32_t ChooseDropEffect(TShiftState shift, std::uint32_t allowed) {
    const bool withShift = shift & ssShift;
    const bool withCtrl = shift & ssCtrl;
    if (withShift && withCtrl && (allowed & kEffectLink))
        return kEffectLink;
    if (withShift && !withCtrl && (allowed & kEffectMove))
        return kEffectMove;
    for (std::uint32_t effect : {kEffectCopy, kEffectMove, kEffectLink}) {
        if (allowed & effect)
            return effect;
    }
    return kEffectNone;
}

std::uint32_t ReadOnlyDragCursor(TShiftState shift, std::uint32_t allowed) {
    const std::uint32_t wanted = (shift & ssCtrl) ? kEffectCopy : kEffectMove;
    if (allowed & wanted)
        return wanted;
    for (std::uint32_t effect : {kEffectCopy, kEffectMove}) {
        if (allowed & effect)
            return effect;
    }
    return kEffectNone;
}

ScrollSteps AutoScrollSteps(int x, int y, int width, int height, int margin, bool horizontal,
                            bool vertical) {
    ScrollSteps steps;
    if (vertical) {
        steps.up = y < margin;
        steps.down = !steps.up && y >= height - margin;
    }
    if (horizontal) {
        steps.left = x < margin;
        steps.right = !steps.left && x >= width - margin;
    }
    return steps;
}

} // namespace dropfiles
