#include "support/ReadBack.h"

namespace magtest {
namespace {

constexpr std::size_t kBmpHeaderBytes = 54;

std::vector<mag::Colour> colourTable(const std::uint8_t* table, std::size_t entries)
{
    std::vector<mag::Colour> palette(entries);
    for (std::size_t i = 0; i < entries; ++i)
        palette[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
    return palette;
}

// BMP rows are stored bottom-up; a 4-bit row keeps the left pixel in the
// high nibble.
std::vector<std::uint8_t> indices(const std::uint8_t* rows, const MMAG_INFO& info)
{
    const bool wide = mag::is256Colour(info);
    std::vector<std::uint8_t> out;
    for (std::size_t r = 0; r < info.height; ++r) {
        const std::uint8_t* row = rows + (info.height - 1 - r) * std::size_t{info.rowBytes};
        for (std::size_t i = 0; i < info.rowBytes; ++i) {
            if (wide) {
                out.push_back(row[i]);
            } else {
                out.push_back(static_cast<std::uint8_t>(row[i] >> 4));
                out.push_back(static_cast<std::uint8_t>(row[i] & 15));
            }
        }
    }
    return out;
}

}  // namespace

ReadBack readBack(const std::vector<std::uint8_t>& file)
{
    ReadBack back;
    const auto len = static_cast<std::uint32_t>(file.size());
    back.headerResult = mag::getHeader(file.data(), len, &back.info);
    std::uint32_t size = 0;
    back.status = mag::probeBmpSize(file.data(), len, &size);
    if (back.status != mag::Status::Ok)
        return back;
    std::vector<std::uint8_t> image(size);
    back.status = mag::convertToBmp(file.data(), len, image.data(), size);
    if (back.status != mag::Status::Ok)
        return back;
    const std::size_t tableBytes = mag::colourTableBytes(back.info);
    back.palette = colourTable(image.data() + kBmpHeaderBytes, tableBytes / 4);
    back.pixels = indices(image.data() + kBmpHeaderBytes + tableBytes, back.info);
    if (back.info.headerOffset >= 32) {
        std::vector<char> comment(back.info.headerOffset - 31);
        mag::getPalette(file.data(), nullptr, comment.data(), len, &back.info);
        back.comment.assign(comment.data(), comment.size() - 1);
    }
    return back;
}

}  // namespace magtest
