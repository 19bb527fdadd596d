#include "OutputFormat.h"

#include "BmpView.h"
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

struct FormatRow {
    OutputFormat format;
    const char* name;
    const char* extension;
    bool canStretch;
    bool (*encode)(MagPicture&, const EncodeSettings&, std::vector<std::uint8_t>*);
};

constexpr FormatRow kFormats[] = {
    {OutputFormat::Png, "png", ".png", true, encodePng},
    {OutputFormat::Bmp, "bmp", ".bmp", false, encodeBmp},
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

bool encodePicture(OutputFormat format, MagPicture& picture, const EncodeSettings& settings,
                   std::vector<std::uint8_t>* out)
{
    return rowOf(format).encode(picture, settings, out);
}

}  // namespace tool
