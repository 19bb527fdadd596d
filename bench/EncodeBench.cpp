// The encoder's speed, and what its files weigh.
//
// For the sample pictures and a few generated ones (noise with nothing to
// copy, a flat picture, smooth dithered gradients, a large picture) this
// prints the raw pixel bytes, the MAG file and the same picture as an
// indexed PNG at libpng's defaults, then times mag::encode on each.  The
// timings report pixels per second; the sizes come again as counters.

#include "PngFile.h"
#include "SamplePictures.h"
#include "mag/MagEncode.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct NamedPicture {
    std::string name;
    mag::MagPicture picture;
};

std::uint32_t widthOf(const mag::MagPicture& p) { return mag::alignedWidth(p.colours256, p.startX, p.endX); }
std::uint32_t heightOf(const mag::MagPicture& p) { return std::uint32_t{p.endY} - p.startY + 1; }

template <class Colour>
mag::MagPicture generated(bool colours256, int width, int height, Colour colour)
{
    mag::MagPicture p;
    p.colours256 = colours256;
    p.endX = static_cast<std::uint16_t>(width - 1);
    p.endY = static_cast<std::uint16_t>(height - 1);
    for (unsigned i = 0; i < (colours256 ? 256u : 16u); ++i)
        p.palette.push_back({static_cast<std::uint8_t>(i * 51 / 36 % 256), static_cast<std::uint8_t>(i * 51 / 6 % 256),
                             static_cast<std::uint8_t>(i * 51 % 256)});
    p.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels[static_cast<std::size_t>(y * width + x)] =
                static_cast<std::uint8_t>(colour(x, y) & (colours256 ? 255u : 15u));
    return p;
}

int bayer4(int x, int y)
{
    static const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return kMatrix[y & 3][x & 3];
}

// One channel of the 6-level cube, dithered: value from 0 to 5 * 16.
unsigned ditheredLevel(int value, int x, int y) { return static_cast<unsigned>(value / 16 + (value % 16 > bayer4(x, y))); }

std::vector<NamedPicture> pictures()
{
    std::vector<NamedPicture> all;
    for (lunidor::SamplePicture& s : lunidor::samplePictures())
        all.push_back({s.fileName.substr(0, s.fileName.size() - 4), std::move(s.picture)});
    std::uint32_t state = 12345;
    const auto noise = [&state](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 24;
    };
    all.push_back({"noise-16", generated(false, 640, 400, noise)});
    all.push_back({"noise-256", generated(true, 640, 400, noise)});
    all.push_back({"flat-256", generated(true, 640, 400, [](int, int) { return 42u; })});
    all.push_back({"dither-16", generated(false, 640, 400, [](int x, int y) {
                       return ditheredLevel(x * 15 * 16 / 640, x, y);
                   })});
    all.push_back({"gradient-256", generated(true, 640, 400, [](int x, int y) {
                       return 16 + 36 * ditheredLevel(x * 80 / 640, x, y) + 6 * ditheredLevel(y * 80 / 400, x, y) +
                              ditheredLevel((x + y) * 80 / 1040, x, y);
                   })});
    all.push_back({"tiles-256-1280x960", generated(true, 1280, 960, [](int x, int y) {
                       const unsigned tile = static_cast<unsigned>(x / 64 + y / 48 * 20);
                       return (x / 8 + y / 8) % 2 == 0 ? tile : tile + static_cast<unsigned>(bayer4(x, y));
                   })});
    return all;
}

void printSizes(const std::vector<NamedPicture>& all)
{
    std::printf("%-20s %9s %9s %9s %9s %8s\n", "picture", "size", "raw", "MAG", "PNG", "MAG/PNG");
    for (const NamedPicture& p : all) {
        std::vector<std::uint8_t> file;
        mag::encode(p.picture, &file);
        const std::size_t raw = p.picture.colours256 ? p.picture.pixels.size() : p.picture.pixels.size() / 2;
        const std::size_t png = lunidor::bench::indexedPngSize(p.picture);
        const std::string size = std::to_string(widthOf(p.picture)) + "x" + std::to_string(heightOf(p.picture));
        std::printf("%-20s %9s %9zu %9zu %9zu %8.2f\n", p.name.c_str(), size.c_str(), raw, file.size(), png,
                    static_cast<double>(file.size()) / static_cast<double>(png));
    }
    std::printf("\n");
}

void encodeBenchmark(benchmark::State& state, const mag::MagPicture* picture)
{
    std::vector<std::uint8_t> file;
    for (auto _ : state) {
        mag::encode(*picture, &file);
        benchmark::DoNotOptimize(file.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(picture->pixels.size()));
    state.counters["mag_bytes"] = static_cast<double>(file.size());
    state.counters["png_bytes"] = static_cast<double>(lunidor::bench::indexedPngSize(*picture));
}

}  // namespace

int main(int argc, char** argv)
{
    static const std::vector<NamedPicture> all = pictures();
    printSizes(all);
    for (const NamedPicture& p : all)
        benchmark::RegisterBenchmark(("Encode/" + p.name).c_str(), encodeBenchmark, &p.picture)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
