// What a drop carries and what it does: the file-name block of a drag (CF_HDROP), the file-name
// maps, the shift state and the choice of drop effect. No Win32 calls: the Win32 side hands in
// the locked memory with its size, the key state and a wide-to-ANSI converter.
#pragma once

#include "shell/ShiftState.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The drag types a drop target accepts, a set of these bits; each equals its drop effect.
enum TDragType : std::uint32_t { dtCopy = 1, dtMove = 2, dtLink = 4 };
using TDragTypes = std::uint32_t;

namespace dropfiles {

// Drop effects as the platform numbers them.
inline constexpr std::uint32_t kEffectNone = 0;
inline constexpr std::uint32_t kEffectCopy = 1;
inline constexpr std::uint32_t kEffectMove = 2;
inline constexpr std::uint32_t kEffectLink = 4;
inline constexpr std::uint32_t kEffectScroll = 0x80000000u;

// Converts one wide (UTF-16) name to the program's multi-byte code page.
using WideToAnsi = std::function<std::string(std::u16string_view)>;

// The header in front of a file-name block: offset of the name list, drop point, non-client
// flag and wide flag, five little-endian 32-bit fields.
inline constexpr std::size_t kDropFilesHeaderSize = 20;

struct DropFilesHeader {
    std::uint32_t namesOffset = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool nonClient = false;
    bool wide = false;
};

// The header, or nothing when the block is too short to hold one.
std::optional<DropFilesHeader> ReadDropFilesHeader(const std::uint8_t* block, std::size_t size);

// The names of a file-name block, in order. The block comes from another program, so nothing
// in it is trusted: a block too short for its header, or whose offset points into the header
// or past its end, has no names; the list ends at the first empty name or where the block
// ends, and a name the block ends in the middle of is left out, so only whole names come back.
// Wide names are read in whole 16-bit units (an odd last byte is ignored) and converted with
// `toAnsi`; a name that converts to nothing is left out.
std::vector<std::string> ParseDropFiles(const std::uint8_t* block, std::size_t size,
                                        const WideToAnsi& toAnsi);

// A bare list of NUL-terminated names ended by an empty name, as the file-name maps are, read
// from the start of the block with the same rules as the names of a file-name block.
std::vector<std::string> ParseNameList(const std::uint8_t* data, std::size_t size, bool wide,
                                       const WideToAnsi& toAnsi);

// The mapped names when there is exactly one for each file, otherwise none.
std::vector<std::string> MatchMappedNames(std::vector<std::string> mapped, std::size_t fileCount);

// A file-name block of byte names (the program's code page) or of wide names, as a drag
// source builds it: header, names each ended by NUL, and the empty name that ends the list.
std::string BuildDropFiles(const std::vector<std::string>& names, std::int32_t x = 0,
                           std::int32_t y = 0);
std::string BuildDropFilesWide(const std::vector<std::u16string>& names, std::int32_t x = 0,
                               std::int32_t y = 0);
// A bare name list (a file-name map) of byte or wide names.
std::string BuildNameList(const std::vector<std::string>& names);
std::string BuildNameListWide(const std::vector<std::u16string>& names);

// The shift state of a drag from the platform's key-state bits (MK_LBUTTON 0x1, MK_RBUTTON
// 0x2, MK_SHIFT 0x4, MK_CONTROL 0x8, MK_MBUTTON 0x10, MK_ALT 0x20).
TShiftState ShiftStateFromKeyState(std::uint32_t keyState);

// The effects the source allows that the target's drag types accept.
std::uint32_t MaskDropEffects(std::uint32_t allowed, TDragTypes dragTypes);

// The effect of a drag without a handler of its own: Shift and Ctrl together link, Shift alone
// moves, otherwise copy, move and link are taken in that order of preference among `allowed`.
std::uint32_t ChooseDropEffect(TShiftState shift, std::uint32_t allowed);

// The cursor of a drag over a target that takes files only to read them (it never moves or
// copies them itself): copy with Ctrl, move without, as long as the source allows that effect;
// otherwise whichever of copy and move it allows (a source on read-only media offers copy
// only), or none.
std::uint32_t ReadOnlyDragCursor(TShiftState shift, std::uint32_t allowed);

// Which way a target scrolls when the point (client coordinates) lies within `margin` of an
// edge of a client area of `width` × `height`, on the axes the target scrolls along.
struct ScrollSteps {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool Any() const { return up || down || left || right; }
};
ScrollSteps AutoScrollSteps(int x, int y, int width, int height, int margin, bool horizontal,
                            bool vertical);

} // namespace dropfiles
