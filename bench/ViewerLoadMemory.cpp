// Peak memory of the viewer's load of one picture: TM2BC::LoadMagToBitmap
// into a bitmap, on Qt's offscreen platform, as File > Open runs it.
//   viewer-load-memory FILE.mag
// Prints the resident memory before the load and its peak during it.

#include "mag/M2BC.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A field of /proc/self/status, in KiB: VmRSS now, VmHWM the peak so far.
long statusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Starts counting the peak afresh from the current resident size.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer-load-memory FILE.mag\n");
        return 2;
    }
    Application->Initialize();  // the toolkit, before anything is counted
    TM2BC converter;
    TBitmap bitmap;
    const std::uint32_t imageSize = converter.MMAG_GetBmpSize(argv[1]);
    resetPeak();
    const long before = statusKiB("VmRSS");
    const bool loaded = converter.LoadMagToBitmap(argv[1], &bitmap);
    const long peak = statusKiB("VmHWM");
    std::printf("%-34s %10s\n", "viewer load, resident before", (std::to_string(before) + " KiB").c_str());
    std::printf("%-34s %10s\n", "viewer load, peak", (std::to_string(peak) + " KiB").c_str());
    std::printf("%-34s %10s\n", "viewer load, peak - before", (std::to_string(peak - before) + " KiB").c_str());
    std::printf("%-34s %10s\n", "  (image 2x: buffer+stream)", (std::to_string(2 * (imageSize / 1024)) + " KiB").c_str());
    return loaded ? 0 : 1;
}
