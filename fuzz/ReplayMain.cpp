// Feeds files to a fuzz harness without libFuzzer, so that every build (any
// compiler, with or without sanitizers) replays the corpus through CTest.
//
// usage: NAME_replay FILE-OR-DIRECTORY...
// A directory contributes its regular files in name order.  Fails when no
// input was found, so a mistyped corpus path cannot pass unnoticed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const fs::path& arg)
{
    if (!fs::is_directory(arg))
        return {arg};
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool replay(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // An exact-size heap copy, as libFuzzer hands it over, so that a
    // sanitizer sees any read past the end.
    std::vector<std::uint8_t> bytes(chars.begin(), chars.end());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : inputsOf(argv[i])) {
            if (!replay(file))
                return 1;
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed == 0 ? 1 : 0;
}
