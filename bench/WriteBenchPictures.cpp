// Writes the benchmarks' scenes as MAG files, for measuring whole programs
// (peak memory of lunidor-convert and of the viewer's load):
//   build-bench/write-bench-pictures DIRECTORY

#include "BenchPictures.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-bench-pictures DIRECTORY\n");
        return 2;
    }
    struct Scene {
        const char* name;
        int width, height;
        bool colours256;
    };
    for (const Scene& s : {Scene{"scene-640x400-16", 640, 400, false}, Scene{"scene-640x400-256", 640, 400, true},
                           Scene{"scene-4096x4096-256", 4096, 4096, true}}) {
        std::vector<std::uint8_t> file;
        if (mag::encode(lunidor::bench::naturalScene(s.width, s.height, s.colours256), &file) != mag::EncodeStatus::Ok)
            return 1;
        const std::string path = std::string(argv[1]) + "/" + s.name + ".mag";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!out)
            return 1;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
