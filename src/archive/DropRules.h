// What the cat does with files dragged onto it: takes the drag or refuses it, and at the drop
// compresses, extracts or opens the menu of the right button (no Win32 calls). The drag's
// entering, its picture, the drop and the hand-off's second look all ask these rules.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace droprules {

enum class DropAction { Refuse, Compress, Extract, Menu };

// The cat as a drag finds it when it enters.
struct CatState {
    // The ready cat shows: the companion is there and no other window of the program is open.
    bool readyPicture = false;
    // A drag picture still shows: a drag that has just ended left it, or this very drag did,
    // when the pointer crosses from one picture layer to another.
    bool dragPicture = false;
    // An archiver library reports an operation under way (the cat's eyes are closed then, but
    // the companion can still take the files).
    bool libraryBusy = false;
};

// What a drag offers, as the drop target read it.
struct DragOffer {
    std::span<const std::string> names;
    // Every name is an archive (the recognizer's answer).
    bool allArchives = false;
    // Shift is held.
    bool shift = false;
    // The drag is made with the right mouse button.
    bool rightButton = false;
};

// A byte below 0x20, which no file name can hold: a source that offers "a.txt" CR LF
// "C:\private" as one name would add a line of its own to the companion's list. (No lead or
// trail byte of a double-byte character is that low.)
bool HasControlCharacter(std::string_view name);
bool AnyHasControlCharacter(std::span<const std::string> names);

// Whether the cat takes a drag, decided when it enters and kept until it leaves or drops. Names
// with a control character are never taken. A drag whose every name was left out (none could be
// written in the code page) is taken, so that its drop can tell why nothing happens.
bool TakesDrag(std::span<const std::string> names, const CatState& cat);

// What a drag the cat took does at the drop, and shows meanwhile: nothing without names (or
// with a control character in one), the menu with the right button, extraction when every
// name is an archive and Shift is not held, otherwise compression.
DropAction ActionFor(const DragOffer& offer);

} // namespace droprules
