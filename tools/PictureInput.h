#pragma once

// Reading pictures to write as MAG: PNG (through libpng) and uncompressed
// BMP, indexed or true colour, into palette indices with their palette.
// An indexed picture keeps its palette as it stands; a true-colour picture
// gets a palette of its distinct colours in order of first appearance.
// Nothing is quantised: a picture that needs more than 256 colours, or
// that has transparent pixels, is refused.

#include "mag/MagEncode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lunidor {

struct IndexedPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;  // width x height indices, top row first
    std::vector<mag::Colour> palette;  // 1 to 256 entries; every index is below its size
};

enum class PictureStatus {
    Ok,
    CannotOpen,
    CannotRead,
    OutOfMemory,
    UnknownFormat,
    BadPng,
    BadBmp,
    UnsupportedBmp,
    TooLarge,
    TooManyColours,
    Transparent,
    DeepColour,
    IndexBeyondPalette,
};

const char* describe(PictureStatus status);

// The widest and tallest picture a MAG file can hold (16 colours).
constexpr std::uint32_t kMaxWidth = 65536;
constexpr std::uint32_t kMaxHeight = 65535;

// Reads the PNG or BMP file at path.  *detail, when given, receives more
// words about a failure where there are any (libpng's own message, the
// kind of BMP that is not supported).
PictureStatus readPicture(const std::string& path, IndexedPicture* picture, std::string* detail = nullptr);

// The same, from the bytes of a file held in memory.
PictureStatus readPicture(const std::vector<std::uint8_t>& file, IndexedPicture* picture,
                          std::string* detail = nullptr);

}  // namespace lunidor
