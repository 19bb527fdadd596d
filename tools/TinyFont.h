#pragma once

// A 5 x 7 pixel font of our own for the sample pictures: capitals, digits
// and a little punctuation.  Lower-case letters are drawn as capitals;
// characters without a glyph are left blank.

#include <cstdint>

namespace lunidor {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Row y (0 at the top) of the glyph for c: bit 4 is the leftmost pixel.
std::uint8_t glyphRow(char c, int y);

}  // namespace lunidor
