#pragma once

// Writing MAG: the inverse of the decoder.  A picture of palette indices
// with its palette, position and texts becomes a MAG file that the
// converter turns back into exactly that picture and palette.

#include <cstdint>
#include <string>
#include <vector>

namespace mag {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// A picture as the file will hold it.  Its width is the one the header
// reader derives from the edges: startX rounded down and endX rounded up to
// the pixel unit (8 pixels in 16 colours, 4 in 256), see alignedWidth().
struct MagPicture {
    bool colours256 = false;  // 256 colours; 16 otherwise
    bool lines200 = false;    // drawn for a 200-line screen (screenMode bit 0)
    std::uint16_t startX = 0;
    std::uint16_t startY = 0;
    std::uint16_t endX = 0;  // inclusive
    std::uint16_t endY = 0;  // inclusive
    std::vector<Colour> palette;       // exactly 16 or 256 entries, by mode
    std::vector<std::uint8_t> pixels;  // one palette index per pixel, top row first
    std::string machineName;           // at most 4 bytes, padded with blanks
    std::string userName;              // at most 19 bytes, padded with blanks
    std::string comment;               // raw bytes (Shift-JIS by custom), no 0x1A
};

// Why a picture cannot be written.
enum class EncodeStatus {
    Ok,
    PaletteSize,
    EdgesReversed,
    TooLarge,
    PictureSize,
    IndexBeyondPalette,
    MachineNameTooLong,
    UserNameTooLong,
    NameHasEndMark,
    CommentHasEndMark,
    OutOfMemory,
};

// A short reason in plain words, e.g. "comment contains the byte 0x1A".
const char* describe(EncodeStatus status);

// Width in pixels of the picture whose edges are startX and endX, as the
// header reader aligns them; 0 when the reader would refuse the edges.
std::uint32_t alignedWidth(bool colours256, std::uint16_t startX, std::uint16_t endX);

// Writes the MAG file of the picture into *file (replacing its contents).
// On failure *file is left empty.
EncodeStatus encode(const MagPicture& picture, std::vector<std::uint8_t>* file);

}  // namespace mag
