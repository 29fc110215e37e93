// Fuzz target: shortcut text as the settings store it or a user types it. The input is the
// text, then, after each NUL, the layout's name of one more key from VK_OEM_1 (0xBA) on; its
// first two bytes also give a shortcut value to write as text.
#include "shell/ShortCutText.h"
#include "util/Mbcs.h"
#include "FuzzCheck.h"

#include <string_view>
#include <vector>

using namespace shortcut;

namespace {

constexpr std::uint8_t kFirstLayoutKey = 0xBA;

// No layout names a key by what reads as a modifier ("Ctrl+..."): such a name could not be
// told from the modifier, so it is left out.
bool StartsWithModifier(std::string_view name) {
    std::string folded = mbcs::AsciiLower(name);
    for (std::string_view prefix : {"shift+", "ctrl+", "alt+"})
        if (std::string_view(folded).starts_with(prefix))
            return true;
    return false;
}

// Text written for a value reads back as a value that is written as the same text (letters
// may differ in case where two keys are named alike).
void CheckWritten(TShortCut value, const KeyNameLookup& layout) {
    std::string text = ShortCutToText(value, layout);
    if (text.empty())
        return;
    TShortCut read = TextToShortCut(text, layout);
    Check(read != 0);
    Check(mbcs::AsciiLower(ShortCutToText(read, layout)) == mbcs::AsciiLower(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view text = input.substr(0, input.find('\0'));
    std::vector<std::string> names;
    for (std::size_t at = input.find('\0'); at != std::string_view::npos && names.size() < 32;) {
        std::size_t end = input.find('\0', at + 1);
        std::string_view name = input.substr(at + 1, end == input.npos ? end : end - at - 1);
        names.emplace_back(StartsWithModifier(name) ? std::string_view() : name);
        at = end;
    }
    KeyNameLookup layout = [&names](std::uint8_t vk) -> std::string {
        std::size_t i = static_cast<std::size_t>(vk - kFirstLayoutKey);
        return vk >= kFirstLayoutKey && i < names.size() ? names[i] : std::string();
    };

    TShortCut read = TextToShortCut(text, layout);
    if (read != 0) {
        // A key and modifiers, nothing else.
        Check((read & scKeyMask) != 0);
        Check((read & ~(scKeyMask | scShift | scCtrl | scAlt)) == 0);
        CheckWritten(read, layout);
    }
    if (size >= 2)
        CheckWritten(static_cast<TShortCut>(data[0] | data[1] << 8), layout);
    return 0;
}
