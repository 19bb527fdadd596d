// How fast MAG pictures decode, measured against the physical limit (a
// memcpy of the image) and against what a user would otherwise open (the
// same picture as an indexed PNG, decoded by libpng).
//
// For each picture: mag::decode alone, the whole TM2BC::MMAG_MagtoBmp from
// a file, the size probe, memcpy of the image's size and libpng.  Speeds
// are bytes of output per second; a table of ratios follows the runs.

#include "BenchPictures.h"
#include "PngFile.h"
#include "mag/M2BC.h"
#include "mag/Mag.h"
#include "support/MagBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BenchPicture {
    std::string name;
    bool realistic;
    Bytes mag;
    Bytes png;
    std::string path;  // the MAG file on disk, for the file operations
    MMAG_INFO info;
    std::uint32_t imageSize;
};

const magtest::TempDir& scratch()
{
    static const magtest::TempDir dir;
    return dir;
}

BenchPicture prepare(const std::string& name, bool realistic, Bytes mag, Bytes png)
{
    BenchPicture p{name, realistic, std::move(mag), std::move(png), {}, {}, 0};
    p.path = scratch().write(name + ".mag", p.mag);
    const auto len = static_cast<std::uint32_t>(p.mag.size());
    if (mag::getHeader(p.mag.data(), len, &p.info) != mag::kHeaderOk ||
        mag::probeBmpSize(p.mag.data(), len, &p.imageSize) != mag::Status::Ok) {
        std::fprintf(stderr, "%s does not convert\n", name.c_str());
        std::exit(1);
    }
    return p;
}

BenchPicture encoded(const std::string& name, bool realistic, const mag::MagPicture& picture)
{
    Bytes mag;
    if (mag::encode(picture, &mag) != mag::EncodeStatus::Ok) {
        std::fprintf(stderr, "%s does not encode\n", name.c_str());
        std::exit(1);
    }
    return prepare(name, realistic, std::move(mag), lunidor::bench::indexedPng(picture));
}

// The literal extreme has no picture to hand to libpng; its PNG is made
// from the decoded indices.
BenchPicture literal(const std::string& name, int width, int height)
{
    Bytes mag = lunidor::bench::allLiteralFile(width, height, 99);
    MMAG_INFO info;
    mag::getHeader(mag.data(), static_cast<std::uint32_t>(mag.size()), &info);
    mag::MagPicture picture = lunidor::bench::flatPicture(width, height);
    Bytes rows(picture.pixels.size());
    mag::decode(mag.data(), static_cast<std::uint32_t>(mag.size()), rows.data(), &info);
    for (int y = 0; y < height; ++y)  // the decoded rows are bottom-up
        std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    rows.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width),
                    static_cast<std::size_t>(width));
    return prepare(name, false, std::move(mag), lunidor::bench::indexedPng(picture));
}

std::vector<BenchPicture> pictures()
{
    using lunidor::bench::naturalScene;
    std::vector<BenchPicture> all;
    all.push_back(encoded("scene-640x400-16", true, naturalScene(640, 400, false)));
    all.push_back(encoded("scene-640x400-256", true, naturalScene(640, 400, true)));
    all.push_back(encoded("scene-4096x4096-256", true, naturalScene(4096, 4096, true)));
    all.push_back(literal("literal-640x400-256", 640, 400));
    all.push_back(encoded("copy-640x400-256", false, lunidor::bench::flatPicture(640, 400)));
    return all;
}

std::int64_t times(const benchmark::State& state, std::size_t bytes)
{
    return static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes);
}

void decodeOnly(benchmark::State& state, const BenchPicture* p)
{
    Bytes image(p->imageSize);
    std::uint8_t* pixels = image.data() + (p->imageSize - std::size_t{p->info.rowBytes} * p->info.height);
    for (auto _ : state) {
        mag::decode(p->mag.data(), static_cast<std::uint32_t>(p->mag.size()), pixels, &p->info);
        benchmark::DoNotOptimize(pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(times(state, std::size_t{p->info.rowBytes} * p->info.height));
}

void magToBmpFromFile(benchmark::State& state, const BenchPicture* p)
{
    TM2BC converter;
    Bytes image(p->imageSize);
    for (auto _ : state) {
        if (converter.MMAG_MagtoBmp(p->path.c_str(), image.data(), p->imageSize) != 0)
            state.SkipWithError("conversion failed");
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(times(state, p->imageSize));
}

void sizeProbe(benchmark::State& state, const BenchPicture* p)
{
    TM2BC converter;
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.MMAG_GetBmpSize(p->path.c_str()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void memcpyImage(benchmark::State& state, const BenchPicture* p)
{
    const Bytes from(p->imageSize, 0x5A);
    Bytes to(p->imageSize);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), p->imageSize);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(times(state, p->imageSize));
}

void libpngDecode(benchmark::State& state, const BenchPicture* p)
{
    Bytes rows;
    for (auto _ : state) {
        if (!lunidor::bench::decodeIndexedPng(p->png, &rows))
            state.SkipWithError("libpng refused the picture");
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(times(state, rows.size()));
}

// Collects each run's speed so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            const std::string kind = name.substr(0, slash), picture = name.substr(slash + 1);
            const auto bytes = run.counters.find("bytes_per_second");
            // The probe has no output to count: its time per call, in us.
            results_[picture][kind] = bytes != run.counters.end() ? bytes->second.value : run.GetAdjustedRealTime();
        }
    }

    void printRatios(const std::vector<BenchPicture>& all) const
    {
        std::printf("\n%-22s %10s %10s %10s %10s %10s %9s %9s %9s\n", "picture (MB/s, probe us)", "decode",
                    "MagtoBmp", "probe", "memcpy", "libpng", "dec/mcpy", "dec/png", "file/png");
        for (const BenchPicture& p : all) {
            const auto found = results_.find(p.name);
            if (found == results_.end())
                continue;
            const auto& r = found->second;
            const auto get = [&r](const char* kind) {
                const auto it = r.find(kind);
                return it == r.end() ? 0.0 : it->second;
            };
            const double decode = get("decode"), file = get("MagtoBmp"), memcpy = get("memcpy"), png = get("libpng");
            std::printf("%-22s %10.0f %10.0f %10.1f %10.0f %10.0f %9.2f %9.1f %9.1f%s\n", p.name.c_str(),
                        decode / 1e6, file / 1e6, get("probe"), memcpy / 1e6, png / 1e6,
                        memcpy > 0 ? decode / memcpy : 0, png > 0 ? decode / png : 0, png > 0 ? file / png : 0,
                        p.realistic ? "" : "  (extreme)");
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> results_;
};

}  // namespace

int main(int argc, char** argv)
{
    static const std::vector<BenchPicture> all = pictures();
    std::printf("%-22s %10s %10s %10s\n", "picture", "MAG bytes", "PNG bytes", "BMP bytes");
    for (const BenchPicture& p : all)
        std::printf("%-22s %10zu %10zu %10u\n", p.name.c_str(), p.mag.size(), p.png.size(), p.imageSize);
    std::printf("\n");

    for (const BenchPicture& p : all) {
        benchmark::RegisterBenchmark(("decode/" + p.name).c_str(), decodeOnly, &p);
        benchmark::RegisterBenchmark(("MagtoBmp/" + p.name).c_str(), magToBmpFromFile, &p);
        benchmark::RegisterBenchmark(("probe/" + p.name).c_str(), sizeProbe, &p)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("memcpy/" + p.name).c_str(), memcpyImage, &p);
        benchmark::RegisterBenchmark(("libpng/" + p.name).c_str(), libpngDecode, &p);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(all);
    benchmark::Shutdown();
    return 0;
}
