#pragma once

// Assembles MAG files from named parts, so that a test reads as a
// description of the file it makes rather than a dump of bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace magtest {

using Bytes = std::vector<std::uint8_t>;

// The three data areas, as the decoder reads them.
struct Areas {
    Bytes flagA;
    Bytes flagB;
    Bytes pixels;
};

struct MagParts {
    std::string signature = "MAKI02  ";
    std::string machineName = "TEST";            // 4 bytes
    std::string userName = "Lunidor tests      ";  // 19 bytes
    std::string comment;                          // without the closing 0x1A
    std::uint8_t headTop = 0;
    std::uint8_t machine = 0;
    std::uint8_t machineFlags = 0;
    std::uint8_t screenMode = 0;
    std::uint16_t startX = 0;
    std::uint16_t startY = 0;
    std::uint16_t endX = 63;
    std::uint16_t endY = 31;
    Bytes palette;  // empty: a default palette of the right size
    Areas areas;
    // Header fields that override what the builder would compute.
    std::optional<std::uint32_t> flagAOffset, flagBOffset, flagBSize, pixelOffset, pixelSize;
};

// Appends a little-endian 16- or 32-bit value.
void putLe16(Bytes& b, std::uint32_t v);
void putLe32(Bytes& b, std::uint32_t v);

// Byte offset of the header in a file built from parts (one past the 0x1A).
std::uint32_t headerOffsetOf(const MagParts& parts);

// The file: signature, names, comment, 0x1A, header, palette, flag A,
// flag B, pixels.
Bytes buildMag(const MagParts& parts);

// Bytes per row and rows of the picture the parts describe.
std::uint32_t rowBytesOf(const MagParts& parts);
std::uint32_t rowsOf(const MagParts& parts);

// A palette whose entry i is green i, red 255 - i, blue i * 7 (mod 256).
Bytes testPalette(bool colours256);

// Encodes a picture given as its flag bytes (top row first, rowBytes / 4
// per row) and the literal bytes the copy code 0 units take, in order.
Areas encodeFlags(const std::vector<std::uint8_t>& flags, std::uint32_t positionsPerRow, const Bytes& literals);

// A picture of literal units with random pixels, `rows` rows high.
MagParts randomPicture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t rows,
                       std::uint32_t seed);

// A picture made only of literal units: every flag byte 0.
Areas literalOnly(const Bytes& picture, std::uint32_t rowBytes);

// An independent model of the decoder: top-down picture bytes, copies
// taken from the rows laid end to end, reads outside the file giving 0.
Bytes referenceDecode(const Bytes& file, std::uint32_t flagA, std::uint32_t flagB, std::uint32_t pixel,
                      std::uint32_t rowBytes, std::uint32_t rows);

// The rows of a top-down picture in bottom-up order, as BMP stores them.
Bytes bottomUp(const Bytes& picture, std::uint32_t rowBytes);

// A small deterministic generator for random cases.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t next();
    std::uint32_t below(std::uint32_t n) { return next() % n; }
    Bytes bytes(std::size_t n);

private:
    std::uint64_t state_;
};

// A file in a fresh temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    std::string dir_;
};

Bytes readFile(const std::string& path);

}  // namespace magtest
