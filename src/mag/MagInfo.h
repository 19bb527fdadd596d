#pragma once

#include <cstdint>

// What the header reader learns from a MAG file: the header fields, the
// geometry derived from them and where the header lies.  A plain value that
// the caller owns for one conversion or size probe.
//
// The field order is part of the record's contract; the coordinates come in
// the order startX, endX, startY, endY although the file stores the corners.
struct MMAG_INFO {
    std::uint8_t headTop;
    std::uint8_t machine;
    std::uint8_t machineFlags;
    std::uint8_t screenMode;     // bit 7 set: 256 colours
    std::uint16_t startX;
    std::uint16_t endX;
    std::uint16_t startY;
    std::uint16_t endY;
    std::uint16_t alignedStartX;  // startX rounded down to the pixel unit
    std::uint16_t alignedEndX;    // endX rounded up to the last pixel of its unit
    std::uint16_t rowBytes;       // bytes per row, also the BMP row stride
    std::uint16_t height;         // number of rows
    std::uint32_t flagAOffset;    // the three areas count from headerOffset
    std::uint32_t flagBOffset;
    std::uint32_t flagBSize;
    std::uint32_t pixelOffset;
    std::uint32_t pixelSize;
    std::uint32_t headerOffset;   // one past the file's first 0x1A byte
    char machineName[5];
    char userName[20];
};

namespace mag {

inline bool is256Colour(const MMAG_INFO& info) { return info.screenMode >= 0x80; }

// Bytes of the BMP colour table: 16 or 256 entries of 4 bytes.
inline std::uint32_t colourTableBytes(const MMAG_INFO& info) { return is256Colour(info) ? 1024u : 64u; }

// Bytes of the MAG palette: 16 or 256 entries of 3 bytes.
inline std::uint32_t paletteBytes(const MMAG_INFO& info) { return is256Colour(info) ? 768u : 48u; }

}  // namespace mag
