#include "support/MagBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace magtest {
namespace {

void putFixed(Bytes& b, const std::string& text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        b.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ');
}

bool is256(const MagParts& parts) { return parts.screenMode >= 0x80; }

}  // namespace

void putLe16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putLe32(Bytes& b, std::uint32_t v)
{
    putLe16(b, v);
    putLe16(b, v >> 16);
}

std::uint32_t headerOffsetOf(const MagParts& parts)
{
    return static_cast<std::uint32_t>(31 + parts.comment.size() + 1);
}

std::uint32_t rowBytesOf(const MagParts& parts)
{
    const std::uint32_t unit = is256(parts) ? 4 : 8;
    const std::uint32_t start = parts.startX / unit * unit;
    const std::uint32_t end = (parts.endX / unit + 1) * unit - 1;
    return (end + 1 - start) / (unit / 4);
}

std::uint32_t rowsOf(const MagParts& parts) { return std::uint32_t{parts.endY} - parts.startY + 1; }

Bytes testPalette(bool colours256)
{
    Bytes p;
    for (unsigned i = 0; i < (colours256 ? 256u : 16u); ++i) {
        p.push_back(static_cast<std::uint8_t>(i));
        p.push_back(static_cast<std::uint8_t>(255 - i));
        p.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return p;
}

Bytes buildMag(const MagParts& parts)
{
    Bytes b;
    putFixed(b, parts.signature, 8);
    putFixed(b, parts.machineName, 4);
    putFixed(b, parts.userName, 19);
    b.insert(b.end(), parts.comment.begin(), parts.comment.end());
    b.push_back(0x1A);

    const Bytes palette = parts.palette.empty() ? testPalette(is256(parts)) : parts.palette;
    const auto flagA = static_cast<std::uint32_t>(32 + palette.size());
    const auto flagB = static_cast<std::uint32_t>(flagA + parts.areas.flagA.size());
    const auto pixel = static_cast<std::uint32_t>(flagB + parts.areas.flagB.size());

    b.push_back(parts.headTop);
    b.push_back(parts.machine);
    b.push_back(parts.machineFlags);
    b.push_back(parts.screenMode);
    putLe16(b, parts.startX);
    putLe16(b, parts.startY);
    putLe16(b, parts.endX);
    putLe16(b, parts.endY);
    putLe32(b, parts.flagAOffset.value_or(flagA));
    putLe32(b, parts.flagBOffset.value_or(flagB));
    putLe32(b, parts.flagBSize.value_or(static_cast<std::uint32_t>(parts.areas.flagB.size())));
    putLe32(b, parts.pixelOffset.value_or(pixel));
    putLe32(b, parts.pixelSize.value_or(static_cast<std::uint32_t>(parts.areas.pixels.size())));

    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), parts.areas.flagA.begin(), parts.areas.flagA.end());
    b.insert(b.end(), parts.areas.flagB.begin(), parts.areas.flagB.end());
    b.insert(b.end(), parts.areas.pixels.begin(), parts.areas.pixels.end());
    return b;
}

Areas encodeFlags(const std::vector<std::uint8_t>& flags, std::uint32_t positionsPerRow, const Bytes& literals)
{
    Areas areas;
    areas.pixels = literals;
    std::uint8_t mask = 0x80;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const std::uint8_t above = i >= positionsPerRow ? flags[i - positionsPerRow] : 0;
        if (mask == 0x80)
            areas.flagA.push_back(0);
        if (flags[i] != above) {
            areas.flagA.back() |= mask;
            areas.flagB.push_back(static_cast<std::uint8_t>(flags[i] ^ above));
        }
        mask = static_cast<std::uint8_t>(mask == 1 ? 0x80 : mask >> 1);
    }
    // Keep the flag A bound satisfied: it reserves whole bytes row by row.
    const std::size_t rows = flags.size() / positionsPerRow;
    const std::size_t reserved = ((positionsPerRow * 2 - 1) / 16 + 1) * rows;
    if (areas.flagA.size() < reserved)
        areas.flagA.resize(reserved, 0);
    return areas;
}

Areas literalOnly(const Bytes& picture, std::uint32_t rowBytes)
{
    const std::vector<std::uint8_t> flags(picture.size() / 4, 0);
    return encodeFlags(flags, rowBytes / 4, picture);
}

MagParts randomPicture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t rows,
                       std::uint32_t seed)
{
    MagParts parts;
    parts.screenMode = screenMode;
    parts.startX = startX;
    parts.endX = endX;
    parts.endY = static_cast<std::uint16_t>(rows - 1);
    const std::uint32_t rowBytes = rowBytesOf(parts);
    Random random(seed);
    parts.areas = literalOnly(random.bytes(std::size_t{rowBytes} * rows), rowBytes);
    return parts;
}

Bytes referenceDecode(const Bytes& file, std::uint32_t flagA, std::uint32_t flagB, std::uint32_t pixel,
                      std::uint32_t rowBytes, std::uint32_t rows)
{
    static const int left[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
    static const int up[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
    auto at = [&](std::uint64_t pos) -> std::uint8_t { return pos < file.size() ? file[pos] : 0; };

    const std::uint32_t positions = rowBytes / 4;
    Bytes picture(std::size_t{rowBytes} * rows, 0);
    std::vector<std::uint8_t> flags(positions, 0);
    std::uint64_t bit = 0;
    std::uint64_t b = flagB;
    std::uint64_t p = pixel;
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t g = 0; g < positions; ++g, ++bit) {
            if (at(flagA + bit / 8) & (0x80 >> (bit % 8)))
                flags[g] ^= at(b++);
            for (int half = 0; half < 2; ++half) {
                const int code = half == 0 ? flags[g] >> 4 : flags[g] & 15;
                const std::int64_t out = std::int64_t{r} * rowBytes + g * 4 + half * 2;
                for (int i = 0; i < 2; ++i) {
                    if (code == 0) {
                        picture[static_cast<std::size_t>(out + i)] = at(p++);
                    } else {
                        const std::int64_t src = out + i - up[code] * std::int64_t{rowBytes} - left[code];
                        picture[static_cast<std::size_t>(out + i)] =
                            src < 0 ? 0 : picture[static_cast<std::size_t>(src)];
                    }
                }
            }
        }
    }
    return picture;
}

Bytes bottomUp(const Bytes& picture, std::uint32_t rowBytes)
{
    Bytes out;
    for (std::size_t end = picture.size(); end >= rowBytes && end > 0; end -= rowBytes)
        out.insert(out.end(), picture.begin() + static_cast<std::ptrdiff_t>(end - rowBytes),
                   picture.begin() + static_cast<std::ptrdiff_t>(end));
    return out;
}

std::uint32_t Random::next()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 16);
}

Bytes Random::bytes(std::size_t n)
{
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(next());
    return b;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lunidor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const
{
    const std::string p = path(name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace magtest
