// write-encoded-pictures: writes every picture of the encoder's round-trip
// table as a MAG file into a directory, named after its case, so that the
// decoder's fuzzers can start from files our encoder made.
//
//   build/tests/write-encoded-pictures DIRECTORY

#include "support/EncodeCases.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-encoded-pictures DIRECTORY\n");
        return 2;
    }
    int failures = 0;
    for (const magtest::EncodeCase& c : magtest::encodeCases()) {
        const std::string path = std::string(argv[1]) + "/" + c.name + ".mag";
        std::vector<std::uint8_t> file;
        const mag::EncodeStatus status = mag::encode(c.make(), &file);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (status != mag::EncodeStatus::Ok || !out.flush()) {
            std::fprintf(stderr, "write-encoded-pictures: %s: %s\n", path.c_str(),
                         status != mag::EncodeStatus::Ok ? mag::describe(status) : "cannot write the output");
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
