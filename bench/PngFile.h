#pragma once

#include "mag/MagEncode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lunidor::bench {

// The picture written by libpng as an indexed PNG (4 bits per pixel in 16
// colours, 8 in 256) at libpng's default compression level and filters:
// the yardstick the MAG files are set beside, in size and in decoding speed.
std::vector<std::uint8_t> indexedPng(const mag::MagPicture& picture);

inline std::size_t indexedPngSize(const mag::MagPicture& picture) { return indexedPng(picture).size(); }

// Decodes an indexed PNG held in memory into its packed rows, as a viewer
// reading the file would; false when libpng refuses it.
bool decodeIndexedPng(const std::vector<std::uint8_t>& png, std::vector<std::uint8_t>* rows);

}  // namespace lunidor::bench
