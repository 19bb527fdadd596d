// Writing a MAG file: checks the picture against what the header reader
// accepts, packs the indices into rows, codes them and lays the areas out
// behind the header in the usual order: palette, flag A, flag B, pixels.

#include "mag/MagEncode.h"

#include "mag/Bytes.h"
#include "mag/Mag.h"
#include "mag/MagCompress.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace mag {
namespace {

constexpr char kSignature[] = "MAKI02  ";
constexpr std::size_t kMachineNameBytes = 4;
constexpr std::size_t kUserNameBytes = 19;
constexpr std::uint8_t kEndMark = 0x1A;
constexpr std::uint32_t kHeaderBytes = 32;
constexpr std::uint8_t kScreen256 = 0x80;
constexpr std::uint8_t kScreen200Lines = 0x01;

std::uint8_t screenModeOf(const MagPicture& picture)
{
    return static_cast<std::uint8_t>((picture.colours256 ? kScreen256 : 0) |
                                     (picture.lines200 ? kScreen200Lines : 0));
}

void putHeaderFields(std::uint8_t* h, const MagPicture& picture)
{
    h[0] = 0;  // headTop
    h[1] = 0;  // machine
    h[2] = 0;  // machineFlags
    h[3] = screenModeOf(picture);
    bytes::put16le(h + 4, picture.startX);
    bytes::put16le(h + 6, picture.startY);
    bytes::put16le(h + 8, picture.endX);
    bytes::put16le(h + 10, picture.endY);
}

// The geometry the header reader derives from the picture's header: run the
// reader itself over a file that ends with the header, so that encoder and
// decoder can never disagree about aligned edges, rowBytes or rows.
bool readerGeometry(const MagPicture& picture, MMAG_INFO* info)
{
    std::uint8_t probe[kMachineNameBytes + kUserNameBytes + 8 + 1 + kHeaderBytes] = {};
    std::copy_n(kSignature, 8, probe);
    probe[31] = kEndMark;
    putHeaderFields(probe + 32, picture);
    const int result = getHeader(probe, sizeof probe, info);
    return result == kHeaderOk || result == kHeaderAreasPastEnd;
}

std::uint64_t pixelCount(const MMAG_INFO& info)
{
    const std::uint64_t width = std::uint64_t{info.alignedEndX} + 1 - info.alignedStartX;
    return width * info.height;
}

EncodeStatus checkGeometry(const MagPicture& picture, MMAG_INFO* info)
{
    if (picture.endX < picture.startX || picture.endY < picture.startY)
        return EncodeStatus::EdgesReversed;
    // With ordered edges the reader refuses only a 256-colour row 65536
    // pixels wide and a span of 65536 rows: both too large to write.
    if (!readerGeometry(picture, info))
        return EncodeStatus::TooLarge;
    if (picture.pixels.size() != pixelCount(*info))
        return EncodeStatus::PictureSize;
    return EncodeStatus::Ok;
}

EncodeStatus checkPicture(const MagPicture& picture, MMAG_INFO* info)
{
    if (picture.palette.size() != (picture.colours256 ? 256u : 16u))
        return EncodeStatus::PaletteSize;
    if (EncodeStatus s = checkGeometry(picture, info); s != EncodeStatus::Ok)
        return s;
    if (!picture.colours256 &&
        std::any_of(picture.pixels.begin(), picture.pixels.end(), [](std::uint8_t p) { return p > 15; }))
        return EncodeStatus::IndexBeyondPalette;
    if (picture.machineName.size() > kMachineNameBytes)
        return EncodeStatus::MachineNameTooLong;
    if (picture.userName.size() > kUserNameBytes)
        return EncodeStatus::UserNameTooLong;
    // The first 0x1A of the file ends the comment and places the header.
    const auto hasEndMark = [](const std::string& s) { return s.find(static_cast<char>(kEndMark)) != s.npos; };
    if (hasEndMark(picture.machineName) || hasEndMark(picture.userName))
        return EncodeStatus::NameHasEndMark;
    if (hasEndMark(picture.comment))
        return EncodeStatus::CommentHasEndMark;
    return EncodeStatus::Ok;
}

// Rows of pixel data as the decoder writes them: in 16 colours two pixels
// to a byte, the left one in the high nibble.
std::vector<std::uint8_t> packRows(const MagPicture& picture)
{
    if (picture.colours256)
        return picture.pixels;
    std::vector<std::uint8_t> packed(picture.pixels.size() / 2);
    for (std::size_t i = 0; i < packed.size(); ++i)
        packed[i] = static_cast<std::uint8_t>(picture.pixels[2 * i] << 4 | picture.pixels[2 * i + 1]);
    return packed;
}

// The header reader reserves whole flag A bytes row by row, a little more
// than the bit stream takes; the areas behind flag A count towards that
// reserve, so flag A is padded only when they do not cover it.
void padFlagA(CodedAreas* areas, const MMAG_INFO& info)
{
    const std::uint64_t perRow = (std::uint64_t{info.rowBytes} / 2 - 1) / 16 + 1;
    const std::uint64_t reserved = perRow * info.height;
    const std::uint64_t held = std::uint64_t{areas->flagA.size()} + areas->flagB.size() + areas->pixels.size();
    if (held < reserved)
        areas->flagA.resize(static_cast<std::size_t>(areas->flagA.size() + (reserved - held)), 0);
}

void putText(std::vector<std::uint8_t>* file, const std::string& text, std::size_t width)
{
    file->insert(file->end(), text.begin(), text.end());
    file->insert(file->end(), width - text.size(), ' ');
}

void putPalette(std::vector<std::uint8_t>* file, const std::vector<Colour>& palette)
{
    for (const Colour& c : palette) {
        file->push_back(c.green);
        file->push_back(c.red);
        file->push_back(c.blue);
    }
}

template <class Area>
void append(std::vector<std::uint8_t>* file, const Area& area)
{
    file->insert(file->end(), area.begin(), area.end());
}

EncodeStatus assemble(const MagPicture& picture, const CodedAreas& areas, std::vector<std::uint8_t>* file)
{
    const std::uint64_t paletteBytes = 3 * std::uint64_t{picture.palette.size()};
    const std::uint64_t flagAOffset = kHeaderBytes + paletteBytes;
    const std::uint64_t flagBOffset = flagAOffset + areas.flagA.size();
    const std::uint64_t pixelOffset = flagBOffset + areas.flagB.size();
    const std::uint64_t headerOffset = 8 + kMachineNameBytes + kUserNameBytes + picture.comment.size() + 1;
    const std::uint64_t total = headerOffset + pixelOffset + areas.pixels.size();
    // Every offset, size and length the reader handles is 32 bits wide.
    if (total > std::numeric_limits<std::uint32_t>::max())
        return EncodeStatus::TooLarge;

    file->reserve(static_cast<std::size_t>(total));
    file->insert(file->end(), kSignature, kSignature + 8);
    putText(file, picture.machineName, kMachineNameBytes);
    putText(file, picture.userName, kUserNameBytes);
    append(file, picture.comment);
    file->push_back(kEndMark);

    std::uint8_t header[kHeaderBytes] = {};
    putHeaderFields(header, picture);
    bytes::put32le(header + 12, static_cast<std::uint32_t>(flagAOffset));
    bytes::put32le(header + 16, static_cast<std::uint32_t>(flagBOffset));
    bytes::put32le(header + 20, static_cast<std::uint32_t>(areas.flagB.size()));
    bytes::put32le(header + 24, static_cast<std::uint32_t>(pixelOffset));
    bytes::put32le(header + 28, static_cast<std::uint32_t>(areas.pixels.size()));
    file->insert(file->end(), header, header + kHeaderBytes);

    putPalette(file, picture.palette);
    append(file, areas.flagA);
    append(file, areas.flagB);
    append(file, areas.pixels);
    return EncodeStatus::Ok;
}

EncodeStatus encodeChecked(const MagPicture& picture, const MMAG_INFO& info, std::vector<std::uint8_t>* file)
{
    const std::vector<std::uint8_t> rows = packRows(picture);
    CodedAreas areas = compressRows(rows.data(), info.rowBytes, info.height);
    padFlagA(&areas, info);
    return assemble(picture, areas, file);
}

}  // namespace

const char* describe(EncodeStatus status)
{
    switch (status) {
    case EncodeStatus::Ok: return "ok";
    case EncodeStatus::PaletteSize: return "palette must have 16 entries in 16-colour mode and 256 in 256-colour mode";
    case EncodeStatus::EdgesReversed: return "picture edges reversed: an end lies before its start";
    case EncodeStatus::TooLarge: return "picture too large for a MAG file";
    case EncodeStatus::PictureSize: return "number of pixels does not match the picture's edges";
    case EncodeStatus::IndexBeyondPalette: return "pixel index beyond the 16-colour palette";
    case EncodeStatus::MachineNameTooLong: return "machine name longer than 4 bytes";
    case EncodeStatus::UserNameTooLong: return "user name longer than 19 bytes";
    case EncodeStatus::NameHasEndMark: return "machine or user name contains the byte 0x1A";
    case EncodeStatus::CommentHasEndMark: return "comment contains the byte 0x1A";
    case EncodeStatus::OutOfMemory: return "out of memory";
    }
    return "unknown failure";
}

std::uint32_t alignedWidth(bool colours256, std::uint16_t startX, std::uint16_t endX)
{
    MagPicture picture;
    picture.colours256 = colours256;
    picture.startX = startX;
    picture.endX = endX;
    MMAG_INFO info;
    if (endX < startX || !readerGeometry(picture, &info))
        return 0;
    return std::uint32_t{info.alignedEndX} + 1 - info.alignedStartX;
}

EncodeStatus encode(const MagPicture& picture, std::vector<std::uint8_t>* file)
{
    file->clear();
    MMAG_INFO info;
    if (EncodeStatus s = checkPicture(picture, &info); s != EncodeStatus::Ok)
        return s;
    EncodeStatus status = EncodeStatus::OutOfMemory;
    try {
        status = encodeChecked(picture, info, file);
    } catch (const std::bad_alloc&) {
        status = EncodeStatus::OutOfMemory;
    } catch (const std::length_error&) {
        status = EncodeStatus::OutOfMemory;
    }
    if (status != EncodeStatus::Ok)
        file->clear();
    return status;
}

}  // namespace mag
