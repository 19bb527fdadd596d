#include "Thumbnail.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace tool {
namespace {

std::array<float, 256> makeLinearTable()
{
    std::array<float, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double v = static_cast<double>(i) / 255.0;
        table[i] = static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return table;
}

std::uint8_t toSrgbByte(float linear)
{
    const double v = std::clamp(static_cast<double>(linear), 0.0, 1.0);
    const double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(s * 255.0));
}

// How the cells (pixel columns or rows) of a line of `from` cells spread
// over a line of `to` cells: source cell i covers the output interval
// [i * to / from, (i + 1) * to / from), and each output cell it touches gets
// the length of the overlap as weight, so the weights that reach one
// output cell add up to 1.
struct Overlap {
    std::uint32_t cell;
    float weight;
};

struct Spreads {
    std::vector<Overlap> overlaps;
    std::vector<std::size_t> start;  // cell i has overlaps [start[i], start[i + 1])

    std::span<const Overlap> of(std::uint32_t i) const
    {
        return std::span(overlaps).subspan(start[i], start[i + 1] - start[i]);
    }
};

Spreads spreadCells(std::uint32_t from, std::uint32_t to)
{
    Spreads spreads;
    spreads.start.reserve(std::size_t{from} + 1);
    const double scale = static_cast<double>(to) / from;
    for (std::uint32_t i = 0; i < from; ++i) {
        spreads.start.push_back(spreads.overlaps.size());
        const double begin = i * scale;
        const double end = std::min((i + 1) * scale, static_cast<double>(to));
        for (auto cell = static_cast<std::uint32_t>(begin); cell < to && cell < end; ++cell) {
            const double overlap = std::min(end, cell + 1.0) - std::max(begin, static_cast<double>(cell));
            if (overlap > 0)
                spreads.overlaps.push_back({cell, static_cast<float>(overlap)});
        }
    }
    spreads.start.push_back(spreads.overlaps.size());
    return spreads;
}

// One source row in linear light, spread over the output columns.
void spreadRow(const BmpView& bmp, std::uint32_t y, const Spreads& columns, const std::array<float, 256>& linear,
               std::vector<float>* out)
{
    std::fill(out->begin(), out->end(), 0.0f);
    for (std::uint32_t x = 0; x < bmp.width(); ++x) {
        const Rgb c = bmp.colour(bmp.colourIndex(x, y));
        const float rgb[3] = {linear[c.red], linear[c.green], linear[c.blue]};
        for (const Overlap& o : columns.of(x)) {
            float* target = out->data() + std::size_t{o.cell} * 3;
            for (int k = 0; k < 3; ++k)
                target[k] += rgb[k] * o.weight;
        }
    }
}

void addWeighted(const std::vector<float>& row, float weight, float* target)
{
    for (std::size_t i = 0; i < row.size(); ++i)
        target[i] += row[i] * weight;
}

}  // namespace

PixelSize fitThumbnail(std::uint32_t width, std::uint32_t height, bool tallPixels, std::uint32_t box)
{
    const double shownWidth = width;
    const double shownHeight = tallPixels ? 2.0 * height : height;
    const double scale = std::min({1.0, box / shownWidth, box / shownHeight});
    const auto side = [](double v) { return static_cast<std::uint32_t>(std::max(1.0, std::round(v))); };
    return {side(shownWidth * scale), side(shownHeight * scale)};
}

std::vector<std::uint8_t> renderThumbnail(const BmpView& bmp, PixelSize size)
{
    static const std::array<float, 256> linear = makeLinearTable();
    const Spreads columns = spreadCells(bmp.width(), size.width);
    const Spreads rows = spreadCells(bmp.height(), size.height);
    const std::size_t rowFloats = std::size_t{size.width} * 3;
    std::vector<float> sums(rowFloats * size.height, 0.0f);
    std::vector<float> spread(rowFloats);
    for (std::uint32_t y = 0; y < bmp.height(); ++y) {
        spreadRow(bmp, y, columns, linear, &spread);
        for (const Overlap& o : rows.of(y))
            addWeighted(spread, o.weight, &sums[o.cell * rowFloats]);
    }
    std::vector<std::uint8_t> rgb(sums.size());
    std::transform(sums.begin(), sums.end(), rgb.begin(), toSrgbByte);
    return rgb;
}

}  // namespace tool
