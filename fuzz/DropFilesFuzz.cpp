// Fuzz target: file-name blocks and file-name maps as another program might hand them over.
// The first input byte picks the reading; the rest is the block.
#include "archive/DropRules.h"
#include "shell/DropFiles.h"
#include "FuzzCheck.h"

#include <cstdlib>
#include <cstring>

namespace {

// Any conversion will do here; one that keeps the units' low bytes shows every character.
std::string LowBytes(std::u16string_view wide) {
    std::string out;
    for (char16_t c : wide)
        out.push_back(static_cast<char>(c & 0xFF ? c & 0xFF : '?'));
    return out;
}

// Whatever the block, a name is never empty, never holds a NUL and never outgrows the block.
void CheckNames(const std::vector<std::string>& names, std::size_t size) {
    std::size_t total = 0;
    for (const std::string& name : names) {
        Check(!name.empty());
        Check(name.find('\0') == std::string::npos);
        total += name.size() + 1;
    }
    Check(total <= size);
}

// Whatever the names, the cat never takes one with a byte below 0x20, in any state, nor does
// anything with it at the drop.
void CheckTaken(const std::vector<std::string>& names, std::uint8_t state) {
    bool control = false;
    for (const std::string& name : names)
        for (char c : name)
            control = control || static_cast<unsigned char>(c) < 0x20;
    const droprules::CatState cat{(state & 1) != 0, (state & 2) != 0, (state & 4) != 0};
    const droprules::DragOffer offer{names, (state & 8) != 0, (state & 16) != 0, (state & 32) != 0};
    if (control) {
        Check(!droprules::TakesDrag(names, cat));
        Check(droprules::ActionFor(offer) == droprules::DropAction::Refuse);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    // A copy of exactly the block's size, so that AddressSanitizer sees a read past it.
    std::uint8_t* block = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(block, data, size);

    switch (mode % 3) {
    case 0: {
        std::vector<std::string> files = dropfiles::ParseDropFiles(block, size, LowBytes);
        CheckNames(files, size);
        CheckTaken(files, mode / 3);
        if (!files.empty()) {
            // The same names, built again, read back the same.
            std::string again = dropfiles::BuildDropFiles(files);
            auto* bytes = reinterpret_cast<const std::uint8_t*>(again.data());
            Check(dropfiles::ParseDropFiles(bytes, again.size(), LowBytes) == files);
        }
        break;
    }
    case 1:
    case 2: {
        std::vector<std::string> mapped =
            dropfiles::ParseNameList(block, size, mode % 3 == 2, LowBytes);
        CheckNames(mapped, size);
        CheckTaken(mapped, mode / 3);
        std::size_t fileCount = mode / 3;
        std::vector<std::string> matched = dropfiles::MatchMappedNames(mapped, fileCount);
        Check(matched.empty() || matched.size() == fileCount);
        break;
    }
    }
    std::free(block);
    return 0;
}
