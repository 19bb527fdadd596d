#include "SeedCorpus.h"

#include "mag/MagEncode.h"
#include "support/EncodeCases.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

namespace magcorpus {
namespace {

using magtest::Areas;
using magtest::Bytes;
using magtest::MagParts;
using magtest::Random;
using mag::Status;

constexpr unsigned kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr unsigned kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// Flag bytes for a picture whose copy sources all lie inside it.  About
// half the flag positions repeat the one above, so flag A has clear bits
// as well as set ones.
std::vector<std::uint8_t> flagsInside(Random& random, std::uint32_t positions, std::uint32_t rows)
{
    std::vector<std::uint8_t> flags(std::size_t{positions} * rows, 0);
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t g = 0; g < positions; ++g) {
            const std::size_t at = std::size_t{r} * positions + g;
            if (r > 0 && random.below(2) == 0) {
                flags[at] = flags[at - positions];
                continue;
            }
            unsigned flag = 0;
            for (unsigned x = 4 * g; x < 4 * g + 4; x += 2) {
                unsigned code = random.below(16);
                if (kCopyUp[code] > r || kCopyLeft[code] > x)
                    code = 0;
                flag = flag << 4 | code;
            }
            flags[at] = static_cast<std::uint8_t>(flag);
        }
    }
    return flags;
}

// Two literal bytes for every copy code 0.
std::size_t literalBytes(const std::vector<std::uint8_t>& flags)
{
    std::size_t n = 0;
    for (std::uint8_t f : flags)
        n += ((f >> 4) == 0 ? 2u : 0u) + ((f & 15) == 0 ? 2u : 0u);
    return n;
}

// Geometry only, with empty data areas.
MagParts bare(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t startY,
              std::uint16_t endY)
{
    MagParts parts;
    parts.screenMode = screenMode;
    parts.startX = startX;
    parts.endX = endX;
    parts.startY = startY;
    parts.endY = endY;
    return parts;
}

// A picture of random literals and copies, all from inside the picture.
MagParts picture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t startY,
                 std::uint16_t endY)
{
    MagParts parts = bare(screenMode, startX, endX, startY, endY);
    const std::uint32_t positions = magtest::rowBytesOf(parts) / 4;
    Random random(positions * 977u + magtest::rowsOf(parts) * 31u + screenMode);
    const auto flags = flagsInside(random, positions, magtest::rowsOf(parts));
    parts.areas = magtest::encodeFlags(flags, positions, random.bytes(literalBytes(flags)));
    return parts;
}

MagParts picture16(std::uint16_t width, std::uint16_t rows)
{
    return picture(0x00, 0, static_cast<std::uint16_t>(width - 1), 0, static_cast<std::uint16_t>(rows - 1));
}

MagParts picture256(std::uint16_t width, std::uint16_t rows)
{
    return picture(0x80, 0, static_cast<std::uint16_t>(width - 1), 0, static_cast<std::uint16_t>(rows - 1));
}

// A picture given by its flag bytes, the literals filled in.
MagParts withFlags(MagParts parts, const std::vector<std::uint8_t>& flags)
{
    const std::uint32_t positions = magtest::rowBytesOf(parts) / 4;
    Random random(flags.size());
    parts.areas = magtest::encodeFlags(flags, positions, random.bytes(literalBytes(flags)));
    return parts;
}

std::uint32_t paletteEnd(const MagParts& parts) { return 32u + (parts.screenMode >= 0x80 ? 768u : 48u); }

// Data areas in the reverse of the usual order: pixels, flag B, flag A.
Bytes areasReversed(MagParts parts)
{
    const Areas areas = parts.areas;
    const std::uint32_t base = paletteEnd(parts);
    parts.areas = {};
    parts.pixelOffset = base;
    parts.pixelSize = static_cast<std::uint32_t>(areas.pixels.size());
    parts.flagBOffset = base + *parts.pixelSize;
    parts.flagBSize = static_cast<std::uint32_t>(areas.flagB.size());
    parts.flagAOffset = *parts.flagBOffset + *parts.flagBSize;
    Bytes file = magtest::buildMag(parts);
    for (const Bytes* area : {&areas.pixels, &areas.flagB, &areas.flagA})
        file.insert(file.end(), area->begin(), area->end());
    return file;
}

// The first 0x1A placed at `at` - 1, inside the names: the header (and all
// that follows it, which counts from the header) moves up to overlap them.
Bytes headerAt(const MagParts& parts, std::size_t at)
{
    const Bytes whole = magtest::buildMag(parts);
    const std::size_t oldHeader = magtest::headerOffsetOf(parts);
    Bytes file(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at - 1));
    file.push_back(0x1A);
    file.insert(file.end(), whole.begin() + static_cast<std::ptrdiff_t>(oldHeader), whole.end());
    return file;
}

Bytes cut(Bytes file, std::size_t size)
{
    file.resize(size);
    return file;
}

Bytes build(const MagParts& parts) { return magtest::buildMag(parts); }

MagParts withOffsets(MagParts parts, std::optional<std::uint32_t> flagA, std::optional<std::uint32_t> flagB,
                     std::optional<std::uint32_t> flagBSize, std::optional<std::uint32_t> pixel,
                     std::optional<std::uint32_t> pixelSize)
{
    if (flagA)
        parts.flagAOffset = flagA;
    if (flagB)
        parts.flagBOffset = flagB;
    if (flagBSize)
        parts.flagBSize = flagBSize;
    if (pixel)
        parts.pixelOffset = pixel;
    if (pixelSize)
        parts.pixelSize = pixelSize;
    return parts;
}

std::vector<SeedFile> wellFormed()
{
    MagParts comment = picture(0x00, 0, 23, 100, 139);
    comment.comment = "seed corpus, 16 colours, rows 100 to 139";
    MagParts machine81 = picture(0x81, 0, 15, 0, 17);
    machine81.machine = 0x03;
    machine81.machineFlags = 0x44;
    Bytes trailing = build(picture16(16, 8));
    trailing.insert(trailing.end(), 100, 0xEE);
    const Bytes literals = Random(7).bytes(3 * 8);
    MagParts literal = picture16(16, 3);
    literal.areas = magtest::literalOnly(literals, 8);
    return {
        {"ok-16c-64x32.mag", build(picture16(64, 32)), Status::Ok},
        {"ok-16c-8x1.mag", build(picture16(8, 1)), Status::Ok},
        {"ok-16c-32x1-one-row.mag", build(withFlags(picture16(32, 1), {0x00, 0x01, 0x12, 0x30})), Status::Ok},
        {"ok-16c-x3-to-70-aligned-to-72.mag", build(picture(0x00, 3, 70, 0, 4)), Status::Ok},
        {"ok-16c-24x40-comment-startY-100.mag", build(comment), Status::Ok},
        {"ok-16c-640x4-wide.mag", build(picture16(640, 4)), Status::Ok},
        {"ok-16c-16x3-literal-only.mag", build(literal), Status::Ok},
        {"ok-16c-32x20-areas-reversed.mag", areasReversed(picture16(32, 20)), Status::Ok},
        {"ok-16c-16x8-trailing-bytes.mag", trailing, Status::Ok},
        {"ok-256c-64x32.mag", build(picture256(64, 32)), Status::Ok},
        {"ok-256c-x5-to-6-aligned-to-4.mag", build(picture(0x80, 5, 6, 0, 0)), Status::Ok},
        {"ok-256c-12x20-flags-cross-rows.mag", build(picture256(12, 20)), Status::Ok},
        {"ok-256c-8x64-tall.mag", build(picture256(8, 64)), Status::Ok},
        {"ok-256c-16x18-screenmode-81.mag", build(machine81), Status::Ok},
    };
}

std::vector<SeedFile> unusualButConverted()
{
    // Copy codes whose sources lie above row 0 or before the start of a row.
    MagParts above = withFlags(picture16(32, 3), {0x4F, 0x6C, 0x90, 0x00, 0x00, 0x60, 0x00, 0x00, 0, 0, 0, 0});
    MagParts before = withFlags(picture256(12, 3), {0x13, 0x00, 0x00, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00});
    // Flag B declared one byte long although the flags call for more: the
    // decoder reads on into the pixel area.
    MagParts flagB = picture16(32, 8);
    flagB.flagBSize = 1;
    // Literals that run past the end of the file read as zeros.
    MagParts pixels = picture16(32, 8);
    const auto pixelBytes = static_cast<std::uint32_t>(pixels.areas.pixels.size());
    pixels.pixelSize = pixelBytes / 2;
    const std::size_t pixelsCut = build(pixels).size() - (pixelBytes - pixelBytes / 2);
    // An 8 x 1 picture whose areas all lie on the header itself.
    const MagParts onHeader = withOffsets(bare(0x00, 0, 7, 0, 0), 0, 0, 0, 0, 0);
    return {
        {"odd-16c-copy-above-picture.mag", build(above), Status::Ok},
        {"odd-256c-copy-before-row-start.mag", build(before), Status::Ok},
        {"odd-16c-flags-want-more-flagB-than-declared.mag", build(flagB), Status::Ok},
        {"odd-16c-flags-want-pixels-past-end-of-file.mag", cut(build(pixels), pixelsCut), Status::Ok},
        {"odd-16c-8x1-areas-on-header.mag", build(onHeader), Status::Ok},
        {"odd-16c-1a-inside-user-name.mag", headerAt(picture16(16, 4), 21), Status::Ok},
        {"odd-16c-1a-inside-machine-name.mag", headerAt(picture16(16, 4), 11), Status::Ok},
        {"odd-16c-endX-below-startX-same-unit.mag", build(picture(0x00, 13, 10, 0, 3)), Status::Ok},
    };
}

MagParts withHeader(MagParts parts, std::uint8_t headTop)
{
    parts.headTop = headTop;
    return parts;
}

MagParts withSignature(MagParts parts, std::string signature)
{
    parts.signature = std::move(signature);
    return parts;
}

// Replaces every 0x1A byte so that no header can be found.
Bytes without1A(Bytes file)
{
    std::replace(file.begin(), file.end(), std::uint8_t{0x1A}, std::uint8_t{0x1B});
    return file;
}

std::vector<SeedFile> refusedHeaders()
{
    const MagParts base = picture16(16, 4);
    const std::uint32_t header = magtest::headerOffsetOf(base);
    Bytes signatureOnly = {'M', 'A', 'K', 'I', '0', '2', ' ', ' ', 0x1A};
    return {
        {"bad-empty.mag", {}, Status::NoHeader},
        {"bad-no-1a.mag", without1A(build(base)), Status::NoHeader},
        {"bad-header-cut-short.mag", cut(build(base), header + 31), Status::NoHeader},
        {"bad-signature-then-1a.mag", signatureOnly, Status::NoHeader},
        {"bad-wrong-signature.mag", build(withSignature(base, "MAKI01  ")), Status::NotMag},
        {"bad-signature-nul-for-blank.mag", build(withSignature(base, std::string("MAKI02 \0", 8))),
         Status::NotMag},
        {"bad-headTop-1.mag", build(withHeader(base, 1)), Status::HeaderUnusable},
        {"bad-16c-x-extent-empty.mag", build(bare(0x00, 20, 3, 0, 3)), Status::HeaderUnusable},
        {"bad-256c-x-extent-empty.mag", build(bare(0x80, 8, 7, 0, 3)), Status::HeaderUnusable},
        {"bad-256c-width-65536.mag", build(bare(0x80, 0, 0xFFFF, 0, 0)), Status::HeaderUnusable},
        {"bad-endY-below-startY.mag", build(bare(0x00, 0, 15, 10, 5)), Status::HeaderUnusable},
        {"bad-endY-one-below-startY.mag", build(bare(0x00, 0, 15, 10, 9)),
         Status::HeaderUnusable},
        {"bad-65536-rows.mag", build(bare(0x00, 0, 15, 0, 0xFFFF)), Status::HeaderUnusable},
    };
}

std::vector<SeedFile> areasOutside()
{
    constexpr std::uint32_t k4G = 0xFFFFFFFFu;
    const MagParts base = picture16(64, 32);
    const Bytes file = build(base);
    const std::uint32_t fromHeader = static_cast<std::uint32_t>(file.size()) - magtest::headerOffsetOf(base);
    const auto none = std::nullopt;
    // Flag A last, exactly as long as its bound: one byte less is too short.
    const Bytes flagALast = areasReversed(picture16(32, 20));
    // Palettes that the file cuts short while every area, on the header,
    // lies within it.
    const MagParts palette256 = withOffsets(bare(0x80, 0, 7, 0, 0), 0, 0, 0, 0, 0);
    const MagParts palette16 = withOffsets(bare(0x00, 0, 7, 0, 0), 0, 0, 0, 0, 0);
    return {
        {"bad-flagA-past-end.mag", build(withOffsets(base, fromHeader - 8, none, none, none, none)),
         Status::AreasPastEnd},
        {"bad-flagB-past-end.mag", build(withOffsets(base, none, fromHeader - 1, 2, none, none)),
         Status::AreasPastEnd},
        {"bad-pixels-past-end.mag", cut(file, file.size() - 1), Status::AreasPastEnd},
        {"bad-flagA-one-byte-short.mag", cut(flagALast, flagALast.size() - 1), Status::AreasPastEnd},
        {"bad-flagA-offset-near-4G.mag", build(withOffsets(base, k4G - 15, none, none, none, none)),
         Status::AreasPastEnd},
        {"bad-flagB-offset-near-4G.mag", build(withOffsets(base, none, k4G - 255, 256, none, none)),
         Status::AreasPastEnd},
        {"bad-flagB-size-4G.mag", build(withOffsets(base, none, none, k4G, none, none)), Status::AreasPastEnd},
        {"bad-pixel-size-near-4G.mag", build(withOffsets(base, none, none, none, 16, k4G - 15)),
         Status::AreasPastEnd},
        {"bad-pixel-offset-4G.mag", build(withOffsets(base, none, none, none, k4G, 1)), Status::AreasPastEnd},
        {"bad-256c-palette-past-end.mag", cut(build(palette256), magtest::headerOffsetOf(palette256) + 32 + 100),
         Status::PalettePastEnd},
        {"bad-16c-palette-past-end.mag", cut(build(palette16), magtest::headerOffsetOf(palette16) + 32 + 47),
         Status::PalettePastEnd},
    };
}

// The encoder's round-trip pictures, as files our own encoder writes, with
// its choice of copy codes.  The few large ones stay out to keep the corpus
// small.
std::vector<SeedFile> encoded()
{
    constexpr std::size_t kLargest = 16 * 1024;
    std::vector<SeedFile> files;
    for (const magtest::EncodeCase& c : magtest::encodeCases()) {
        magtest::Bytes bytes;
        if (mag::encode(c.make(), &bytes) == mag::EncodeStatus::Ok && bytes.size() <= kLargest)
            files.push_back({"ok-encoded-" + c.name + ".mag", std::move(bytes), mag::Status::Ok});
    }
    return files;
}

}  // namespace

std::vector<SeedFile> seedCorpus()
{
    std::vector<SeedFile> all;
    for (auto&& group : {wellFormed(), unusualButConverted(), refusedHeaders(), areasOutside(), encoded()})
        all.insert(all.end(), group.begin(), group.end());
    return all;
}

}  // namespace magcorpus
