// Picks the reader by the file's first bytes, not by its name.

#include "PictureInput.h"

#include "PictureFormats.h"
#include "mag/Mag.h"

#include <algorithm>

namespace lunidor {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool startsWith(const std::vector<std::uint8_t>& file, const std::uint8_t* magic, std::size_t n)
{
    return file.size() >= n && std::equal(magic, magic + n, file.begin());
}

PictureStatus statusOfFileRead(mag::Status status)
{
    switch (status) {
    case mag::Status::Ok: return PictureStatus::Ok;
    case mag::Status::CannotOpen: return PictureStatus::CannotOpen;
    case mag::Status::OutOfMemory: return PictureStatus::OutOfMemory;
    case mag::Status::TooLarge: return PictureStatus::TooLarge;
    default: return PictureStatus::CannotRead;
    }
}

}  // namespace

const char* describe(PictureStatus status)
{
    switch (status) {
    case PictureStatus::Ok: return "ok";
    case PictureStatus::CannotOpen: return "cannot open";
    case PictureStatus::CannotRead: return "cannot read";
    case PictureStatus::OutOfMemory: return "out of memory";
    case PictureStatus::UnknownFormat: return "not a PNG or BMP picture";
    case PictureStatus::BadPng: return "damaged PNG";
    case PictureStatus::BadBmp: return "damaged BMP";
    case PictureStatus::UnsupportedBmp: return "unsupported kind of BMP";
    case PictureStatus::TooLarge: return "picture too large for a MAG file (at most 65536 x 65535 pixels)";
    case PictureStatus::TooManyColours: return "more than 256 colours (reduce the colours first)";
    case PictureStatus::Transparent: return "picture has transparent pixels, which MAG cannot hold";
    case PictureStatus::DeepColour: return "16-bit samples that 8-bit colours cannot hold exactly";
    case PictureStatus::IndexBeyondPalette: return "pixel index beyond the palette";
    }
    return "unknown failure";
}

PictureStatus readPicture(const std::vector<std::uint8_t>& file, IndexedPicture* picture, std::string* detail)
{
    std::string ignored;
    std::string* words = detail != nullptr ? detail : &ignored;
    words->clear();
    *picture = {};
    static constexpr std::uint8_t kBmpSignature[2] = {'B', 'M'};
    PictureStatus status = PictureStatus::UnknownFormat;
    if (startsWith(file, kPngSignature, sizeof kPngSignature))
        status = readPng(file, picture, words);
    else if (startsWith(file, kBmpSignature, sizeof kBmpSignature))
        status = readBmp(file, picture, words);
    if (status != PictureStatus::Ok)
        *picture = {};
    return status;
}

PictureStatus readPicture(const std::string& path, IndexedPicture* picture, std::string* detail)
{
    std::vector<std::uint8_t> file;
    std::uint32_t size = 0;
    if (PictureStatus s = statusOfFileRead(mag::readWholeFile(path.c_str(), &file, &size, 0)); s != PictureStatus::Ok)
        return s;
    return readPicture(file, picture, detail);
}

}  // namespace lunidor
