// What the cat does with a drag: taken or refused, and compress, extract or the menu.
#include "archive/DropRules.h"

#include <algorithm>

namespace droprules {

bool HasControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool AnyHasControlCharacter(std::span<const std::string> names) {
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return HasControlCharacter(name); });
}

bool TakesDrag(std::span<const std::string> names, const CatState& cat) {
    if (AnyHasControlCharacter(names))
        return false;
    return names.empty() || cat.libraryBusy || cat.readyPicture || cat.dragPicture;
}

DropAction ActionFor(const DragOffer& offer) {
    if (offer.names.empty() || AnyHasControlCharacter(offer.names))
        return DropAction::Refuse;
    if (offer.rightButton)
        return DropAction::Menu;
    return offer.allArchives && !offer.shift ? DropAction::Extract : DropAction::Compress;
}

} // namespace droprules
