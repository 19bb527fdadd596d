// The pictures in samples/ are what make-samples draws and the encoder
// writes today, and each reads back as the picture it was made from.

#include "SamplePictures.h"
#include "support/MagBuilder.h"
#include "support/ReadBack.h"

#include <gtest/gtest.h>

using namespace magtest;

TEST(Samples, CommittedFilesAreWhatMakeSamplesWrites)
{
    for (const lunidor::SamplePicture& sample : lunidor::samplePictures()) {
        SCOPED_TRACE(sample.fileName);
        Bytes expected;
        ASSERT_EQ(mag::encode(sample.picture, &expected), mag::EncodeStatus::Ok);
        EXPECT_TRUE(readFile(std::string(LUNIDOR_SAMPLES_DIR) + "/" + sample.fileName) == expected)
            << "samples/" << sample.fileName << " is out of date: run `make samples`";
        EXPECT_LT(expected.size(), 200u * 1024) << "samples stay small";

        const ReadBack back = readBack(expected);
        ASSERT_EQ(back.status, mag::Status::Ok);
        EXPECT_TRUE(back.pixels == sample.picture.pixels);
        EXPECT_EQ(back.palette, sample.picture.palette);
    }
}
