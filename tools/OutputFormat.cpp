#include "OutputFormat.h"

#include "BmpView.h"
#include "FileKind.h"
#include "MagPicture.h"
#include "PngWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iterator>

namespace tool {
namespace {

// The BMP file image is what the converter makes; it goes out unchanged.
bool encodeBmp(MagPicture& picture, const EncodeSettings&, std::vector<std::uint8_t>* out)
{
    *out = std::move(picture.bmp);
    return true;
}

bool encodePng(MagPicture& picture, const EncodeSettings& settings, std::vector<std::uint8_t>* out)
{
    const std::optional<BmpView> bmp = BmpView::of(picture.bmp);
    if (!bmp)
        return false;
    TallPixels tall = TallPixels::None;
    if (hasTallPixels(picture.info))
        tall = settings.stretch ? TallPixels::DoubleRows : TallPixels::MarkAspect;
    return encodeIndexedPng(*bmp, tall, out);
}

using MagEncoder = bool (*)(MagPicture&, const EncodeSettings&, std::vector<std::uint8_t>*);

// A picture where a MAG file belongs fails with whatever part of the MAG
// header it lacks; saying what it is instead helps more.
std::string notMag(const std::vector<std::uint8_t>& input, mag::Status status)
{
    switch (fileKindOf(input)) {
    case FileKind::Png: return "a PNG picture, not a MAG file (PNG and BMP are written from MAG files)";
    case FileKind::Bmp: return "a BMP picture, not a MAG file (PNG and BMP are written from MAG files)";
    case FileKind::Mag:
    case FileKind::Other: break;
    }
    return mag::describe(status);
}

std::string fromMag(std::vector<std::uint8_t> input, const EncodeSettings& settings, std::vector<std::uint8_t>* out,
                    MagEncoder encode)
{
    MagPicture picture;
    if (const mag::Status s = convertMagFile(input, &picture); s != mag::Status::Ok)
        return notMag(input, s);
    input = {};
    return encode(picture, settings, out) ? std::string() : mag::describe(mag::Status::OutOfMemory);
}

std::string toPng(std::vector<std::uint8_t> input, const EncodeSettings& settings, std::vector<std::uint8_t>* out)
{
    return fromMag(std::move(input), settings, out, encodePng);
}

std::string toBmp(std::vector<std::uint8_t> input, const EncodeSettings& settings, std::vector<std::uint8_t>* out)
{
    return fromMag(std::move(input), settings, out, encodeBmp);
}

std::string toMag(std::vector<std::uint8_t> input, const EncodeSettings& settings, std::vector<std::uint8_t>* out)
{
    const lunidor::MagWriteResult result = lunidor::encodePictureFile(input, settings.mag, out);
    if (result.ok())
        return {};
    if (result.picture == lunidor::PictureStatus::UnknownFormat && fileKindOf(input) == FileKind::Mag)
        return "already a MAG file (MAG is written from PNG or BMP pictures)";
    return describe(result);
}

struct FormatRow {
    OutputFormat format;
    const char* name;
    const char* extension;
    bool canStretch;
    bool takesMagTexts;
    std::string (*convert)(std::vector<std::uint8_t>, const EncodeSettings&, std::vector<std::uint8_t>*);
};

constexpr FormatRow kFormats[] = {
    {OutputFormat::Png, "png", ".png", true, false, toPng},
    {OutputFormat::Bmp, "bmp", ".bmp", false, false, toBmp},
    {OutputFormat::Mag, "mag", ".mag", false, true, toMag},
};

const FormatRow& rowOf(OutputFormat format)
{
    return *std::find_if(std::begin(kFormats), std::end(kFormats),
                         [format](const FormatRow& row) { return row.format == format; });
}

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

std::optional<OutputFormat> formatNamed(std::string_view name)
{
    const std::string lower = lowerAscii(name);
    for (const FormatRow& row : kFormats) {
        if (lower == row.name)
            return row.format;
    }
    return std::nullopt;
}

std::optional<OutputFormat> formatOfPath(const std::string& path)
{
    const std::string extension = lowerAscii(std::filesystem::path(path).extension().string());
    for (const FormatRow& row : kFormats) {
        if (extension == row.extension)
            return row.format;
    }
    return std::nullopt;
}

std::string formatNames()
{
    std::string names;
    for (const FormatRow& row : kFormats) {
        if (!names.empty())
            names += '|';
        names += row.name;
    }
    return names;
}

std::string extensionOf(OutputFormat format) { return rowOf(format).extension; }

bool canStretch(OutputFormat format) { return rowOf(format).canStretch; }

bool takesMagTexts(OutputFormat format) { return rowOf(format).takesMagTexts; }

std::string convertFile(OutputFormat format, std::vector<std::uint8_t> input, const EncodeSettings& settings,
                        std::vector<std::uint8_t>* out)
{
    return rowOf(format).convert(std::move(input), settings, out);
}

}  // namespace tool
