#pragma once

// The converter's buffer-level operations.  Everything here works on bytes
// held in memory; the file operations of TM2BC are thin wrappers over it, so
// tests, fuzzers and tools convert through exactly the same code.

#include "mag/MagInfo.h"
#include "mag/MagStatus.h"

#include <cstdint>
#include <vector>

namespace mag {

// Reads the header of the MAG file held in data[0, len) into info and
// checks that its data areas end within len.  Returns a HeaderResult.
int getHeader(const std::uint8_t* data, std::uint32_t len, MMAG_INFO* info);

// Writes the 16 or 256 BMP colour-table entries (blue, green, red, 0) made
// from the file's palette, and copies the comment when a buffer for it is
// given.  Returns 0, or 1 when the palette reaches past len.
int getPalette(const std::uint8_t* data, std::uint8_t* palette, char* comment, std::uint32_t len,
               const MMAG_INFO* info);

// Expands the flag and pixel areas of data[0, len) into rowBytes x height
// bytes of bottom-up BMP rows at pixels.  Bytes at or past len read as 0.
void decode(const std::uint8_t* data, std::uint32_t len, std::uint8_t* pixels, const MMAG_INFO* info);

// Byte size of the BMP image described by an accepted header.
std::uint32_t bmpImageSize(const MMAG_INFO& info);

// The size probe over the first bytes of a file: finds the header, accepts
// it when only the data areas lie beyond len, and stores the image size.
Status probeBmpSize(const std::uint8_t* data, std::uint32_t len, std::uint32_t* size);

// Converts the whole MAG file data[0, len) into a BMP file image in
// image[0, imageSize).  Fails with ImageTooSmall rather than write past it.
Status convertToBmp(const std::uint8_t* data, std::uint32_t len, std::uint8_t* image,
                    std::uint32_t imageSize);

// File access, through the C library's buffered streams opened "rb".
// readWholeFile leaves `spare` zero bytes behind the file's bytes;
// readProbeBytes reads the file up to its first 0x1A byte and the 32 header
// bytes after it.
Status readWholeFile(const char* path, std::vector<std::uint8_t>* bytes, std::uint32_t* fileSize,
                     std::uint32_t spare = 256);
Status readProbeBytes(const char* path, std::vector<std::uint8_t>* bytes);

}  // namespace mag
