// Sizes for screens of any pixel density, as arithmetic without windows: the whole factor the
// cat's pictures grow by, lengths in proportion to the density, and nearest-neighbour scaling
// of a picture's pixels.
#pragma once

#include <cstdint>
#include <vector>

// The density every size of the program was drawn for.
inline constexpr int kBaseDpi = 96;

// The whole factor nearest to dpi / 96, at least 1: 1 up to 143 dpi, 2 from 144 (150 % rounds
// up) to 239, 3 from 240. A density the platform could not tell (0 or less) counts as 96.
int WholeScale(int dpi);

// `length` pixels at 96 dpi in pixels at `dpi`, rounded to the nearest (halves away from zero).
// Unchanged at 96 and for a density the platform could not tell.
int ScaleForDpi(int length, int dpi);

// The other way: `length` pixels at `dpi` as pixels at 96 dpi, rounded to the nearest (halves
// away from zero), so that a length grown by ScaleForDpi comes back as it was.
int UnscaleForDpi(int length, int dpi);

// A picture of width × height pixels (rows top to bottom) resampled to newWidth × newHeight by
// taking, for each new pixel, the old pixel its centre falls on: no colour is mixed, so a
// picture grown by a whole factor is every old pixel repeated factor × factor times. Empty
// when a size is not positive or `pixels` is shorter than width × height.
std::vector<std::uint32_t> ScaleNearest(const std::vector<std::uint32_t>& pixels, int width,
                                        int height, int newWidth, int newHeight);
