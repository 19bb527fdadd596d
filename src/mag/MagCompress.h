#pragma once

// The encoder's choice of copy codes: turns picture rows into the flag A,
// flag B and pixel areas that the decoder expands back into them.

#include <cstdint>
#include <vector>

namespace mag {

struct CodedAreas {
    std::vector<std::uint8_t> flagA;   // one bit per flag position, without padding
    std::vector<std::uint8_t> flagB;   // one byte per set flag A bit
    std::vector<std::uint8_t> pixels;  // 2 bytes per literal unit
};

// Codes rowCount rows of rowBytes bytes each (rowBytes a multiple of 4),
// given top row first, exactly as the decoder must reproduce them.
CodedAreas compressRows(const std::uint8_t* rows, std::uint32_t rowBytes, std::uint32_t rowCount);

}  // namespace mag
