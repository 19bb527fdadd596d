// The seed corpus in fuzz/corpus/: the committed files are the ones our
// builder makes, each converts (or is refused) as its name says, and the
// file operations of TM2BC agree with the buffer-level conversion on them.

#include "SeedCorpus.h"
#include "mag/M2BC.h"
#include "mag/Mag.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

using namespace magtest;

namespace {

namespace fs = std::filesystem;

const std::vector<magcorpus::SeedFile>& seeds()
{
    static const std::vector<magcorpus::SeedFile> corpus = magcorpus::seedCorpus();
    return corpus;
}

std::vector<std::string> seedNames()
{
    std::vector<std::string> names;
    for (const auto& seed : seeds())
        names.push_back(seed.name);
    return names;
}

// Every file in the corpus directory, the seeds and any regression inputs.
std::vector<std::string> corpusFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(LUNIDOR_CORPUS_DIR))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const magcorpus::SeedFile& seedNamed(const std::string& name)
{
    return *std::find_if(seeds().begin(), seeds().end(), [&](const auto& s) { return s.name == name; });
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// gtest names allow only letters, digits and underscores.
std::string testName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

mag::Status convertBytes(const Bytes& file)
{
    const auto len = static_cast<std::uint32_t>(file.size());
    std::uint32_t size = 0;
    if (mag::Status s = mag::probeBmpSize(file.data(), len, &size); s != mag::Status::Ok)
        return s;
    Bytes image(size);
    return mag::convertToBmp(file.data(), len, image.data(), size);
}

}  // namespace

class SeedFile : public testing::TestWithParam<std::string> {};

TEST_P(SeedFile, IsCommittedAsTheBuilderMakesIt)
{
    const auto& seed = seedNamed(GetParam());
    EXPECT_EQ(readFile(std::string(LUNIDOR_CORPUS_DIR) + "/" + seed.name), seed.bytes)
        << "fuzz/corpus/ is out of date: run `make corpus`";
}

TEST_P(SeedFile, ConvertsAsItsNameSays)
{
    const auto& seed = seedNamed(GetParam());
    const bool converts = startsWith(seed.name, "ok-") || startsWith(seed.name, "odd-");
    ASSERT_TRUE(converts || startsWith(seed.name, "bad-")) << "unknown prefix";
    EXPECT_EQ(converts, seed.expected == mag::Status::Ok);
    EXPECT_EQ(convertBytes(seed.bytes), seed.expected) << mag::describe(seed.expected);
}

INSTANTIATE_TEST_SUITE_P(Corpus, SeedFile, testing::ValuesIn(seedNames()), testName);

// The viewer's road through files on disk: the size probe, then the
// conversion into a buffer of exactly that size.
class CorpusFile : public testing::TestWithParam<std::string> {};

TEST_P(CorpusFile, FileOperationsAgreeWithTheName)
{
    const std::string path = std::string(LUNIDOR_CORPUS_DIR) + "/" + GetParam();
    TM2BC converter;
    const std::uint32_t size = converter.MMAG_GetBmpSize(path.c_str());
    bool converted = false;
    if (size != 0) {
        Bytes image(size);
        converted = converter.MMAG_MagtoBmp(path.c_str(), image.data(), size) == 0;
    }
    EXPECT_EQ(converted, !startsWith(GetParam(), "bad-"));
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFile, testing::ValuesIn(corpusFiles()), testName);
