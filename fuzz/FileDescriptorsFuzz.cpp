// Fuzz target: file group descriptors as a drag source might hand them over, and the names their
// items get. The first input byte picks wide or code-page records; the rest is the block.
#include "shell/FileDescriptors.h"
#include "FuzzCheck.h"

#include <cstdlib>
#include <cstring>

namespace {

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

// A name the platform would take for a device, checked on its own terms: the part before the
// first dot, blanks at its end dropped.
bool NamesDevice(const std::u16string& part) {
    std::u16string stem = part.substr(0, part.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.pop_back();
    for (char16_t& c : stem)
        c = Upper(c);
    if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL" || stem == u"CONIN$" ||
        stem == u"CONOUT$")
        return true;
    return stem.size() == 4 &&
           (stem.compare(0, 3, u"COM") == 0 || stem.compare(0, 3, u"LPT") == 0) &&
           ((stem[3] >= u'0' && stem[3] <= u'9') || stem[3] == 0xB9 || stem[3] == 0xB2 ||
            stem[3] == 0xB3);
}

// A part of a path inside the drop's folder: one folder entry that stays there, whatever the
// file system makes of it.
void CheckPart(const std::u16string& part) {
    Check(!part.empty() && part.size() <= vfiles::kLongestName);
    Check(part != u"." && part != u"..");
    Check(part.back() != u'.' && part.back() != u' ');
    for (char16_t c : part)
        Check(c >= 0x20 && c != u'\\' && c != u'/' && c != u':' && c != u'<' && c != u'>' &&
              c != u'"' && c != u'|' && c != u'?' && c != u'*');
    Check(!NamesDevice(part));
}

// Code-page names read as Latin-1: every byte a character, control characters included.
std::u16string Latin1(std::string_view bytes) {
    std::u16string wide;
    for (unsigned char c : bytes)
        wide.push_back(c);
    return wide;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool wide = data[0] & 1;
    const unsigned n = 2 + data[0] / 2;
    ++data;
    --size;
    // A copy of exactly the block's size, so that AddressSanitizer sees a read past it.
    auto* block = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(block, data, size);

    vfiles::FileGroup group = vfiles::ParseFileGroup(block, size, wide, Latin1);
    const std::size_t record = wide ? vfiles::kWideRecordSize : vfiles::kAnsiRecordSize;
    switch (group.verdict) {
    case vfiles::GroupVerdict::Items:
        Check(group.count > 0 && group.count <= vfiles::kMostItems);
        Check(group.items.size() == group.count && 4 + group.count * record <= size);
        break;
    case vfiles::GroupVerdict::TooMany:
        Check(group.count > vfiles::kMostItems && group.items.empty());
        break;
    case vfiles::GroupVerdict::Malformed:
        Check(group.items.empty());
        break;
    }
    for (const vfiles::DescribedItem& item : group.items) {
        Check(item.name.size() <= 260);
        const std::vector<std::u16string> parts = vfiles::SafeComponents(item.name);
        Check(!parts.empty());
        for (const std::u16string& part : parts) {
            CheckPart(part);
            CheckPart(vfiles::NumberedName(part, n));
        }
    }
    // The input itself as a name, beyond what a record can hold.
    std::u16string name;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        name.push_back(static_cast<char16_t>(block[i] | block[i + 1] << 8));
    for (const std::u16string& part : vfiles::SafeComponents(name)) {
        CheckPart(part);
        CheckPart(vfiles::NumberedName(part, n));
    }
    std::free(block);
    return 0;
}
