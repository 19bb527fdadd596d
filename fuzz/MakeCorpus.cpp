// Writes the seed corpus into a directory: `make corpus` runs it over
// fuzz/corpus/.  Files of ours that the corpus no longer names are left
// alone; regression inputs kept from fuzzing live there too.
//
// usage: lunidor-make-corpus DIRECTORY

#include "SeedCorpus.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const auto corpus = magcorpus::seedCorpus();
    for (const auto& file : corpus) {
        const std::string path = std::string(argv[1]) + "/" + file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("wrote %zu files to %s\n", corpus.size(), argv[1]);
    return 0;
}
