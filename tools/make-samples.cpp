// make-samples: writes the sample pictures of samples/ into a directory.
// Run through `make samples`; the files are committed, and a test checks
// that they are what this program makes.

#include "AtomicOutput.h"
#include "SamplePictures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    int failures = 0;
    for (const lunidor::SamplePicture& sample : lunidor::samplePictures()) {
        std::vector<std::uint8_t> file;
        const std::string path = dir + "/" + sample.fileName;
        if (const mag::EncodeStatus s = mag::encode(sample.picture, &file); s != mag::EncodeStatus::Ok) {
            std::fprintf(stderr, "make-samples: %s: %s\n", path.c_str(), mag::describe(s));
            ++failures;
        } else if (tool::writeFileAtomically(path, file, tool::Replace::Yes) != tool::WriteResult::Written) {
            std::fprintf(stderr, "make-samples: %s: cannot write the output\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s  %zu bytes\n", path.c_str(), file.size());
        }
    }
    return failures == 0 ? 0 : 1;
}
