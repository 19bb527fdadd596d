// TM2BC::LoadMagToBitmap: both passes of the conversion, then the image
// handed to a bitmap through a memory stream.

#include "mag/M2BC.h"
#include "support/ModalDriver.h"
#include "support/Pictures.h"
#include "vcl/qt/Peers.h"

#include <gtest/gtest.h>

using namespace viewertest;
using magtest::buildMag;

namespace {

// A bitmap that notes how many bytes each load had before it.
class RecordingBitmap : public TBitmap {
public:
    void LoadFromStream(TStream* Stream) override
    {
        streamBytes.push_back(Stream->Size - Stream->Position);
        TBitmap::LoadFromStream(Stream);
    }
    std::vector<std::int64_t> streamBytes;
};

class LoadMagToBitmap : public testing::Test {
protected:
    // Loads a first picture, so that a failure can be seen to keep it.
    void loadPrevious()
    {
        ASSERT_TRUE(converter.LoadMagToBitmap(files.write("previous.mag", buildMag(previous)), &bitmap));
    }
    void expectPreviousKept() const
    {
        EXPECT_EQ(differingPixels(bitmap.GetPeer().image, expectedImage(previous)), 0);
    }

    ModalDriver dialogs;  // first: it prepares the toolkit
    TM2BC converter;
    RecordingBitmap bitmap;
    magtest::TempDir files;
    const magtest::MagParts previous = randomPicture(0x80, 24, 8);
};

TEST_F(LoadMagToBitmap, ASixteenColourPictureReachesTheBitmapAsA1142ByteImage)
{
    const magtest::MagParts parts = randomPicture(0x00, 64, 32);
    ASSERT_TRUE(converter.LoadMagToBitmap(files.write("p.mag", buildMag(parts)), &bitmap));
    EXPECT_EQ(bitmap.streamBytes, std::vector<std::int64_t>{1142});
    EXPECT_EQ(int(bitmap.Width), 64);
    EXPECT_EQ(int(bitmap.Height), 32);
    EXPECT_EQ(bitmap.GetPeer().image.colorCount(), 16);
    EXPECT_EQ(differingPixels(bitmap.GetPeer().image, expectedImage(parts)), 0);
    EXPECT_TRUE(dialogs.seen().empty());
}

TEST_F(LoadMagToBitmap, TheBitmapTakesTheAlignedWidth)
{
    magtest::MagParts parts = randomPicture(0x00, 71, 32);
    parts.startX = 3;
    parts.endX = 70;
    parts.areas = magtest::literalOnly(magtest::Random(5).bytes(std::size_t{magtest::rowBytesOf(parts)} * 32),
                                       magtest::rowBytesOf(parts));
    ASSERT_TRUE(converter.LoadMagToBitmap(files.write("p.mag", buildMag(parts)), &bitmap));
    EXPECT_EQ(int(bitmap.Width), 72);
    EXPECT_EQ(bitmap.streamBytes, std::vector<std::int64_t>{1270});
}

TEST_F(LoadMagToBitmap, AFileThatCannotBeSizedFailsWithoutAMessageAndKeepsThePicture)
{
    loadPrevious();
    magtest::MagParts wrongSignature = randomPicture(0x00, 64, 32);
    wrongSignature.signature = "MAKI01A ";
    for (const std::string& path : {files.path("missing.mag"), files.write("text.txt", magtest::Bytes{'a', 'b'}),
                                    files.write("signature.mag", buildMag(wrongSignature)), files.path("")}) {
        EXPECT_FALSE(converter.LoadMagToBitmap(path, &bitmap)) << path;
    }
    EXPECT_TRUE(dialogs.seen().empty());
    EXPECT_EQ(bitmap.streamBytes.size(), 1u);
    expectPreviousKept();
}

TEST_F(LoadMagToBitmap, AConversionThatFailsAfterTheHeaderWarnsOnceAndKeepsThePicture)
{
    loadPrevious();
    dialogs.then(pressEnter());
    EXPECT_FALSE(converter.LoadMagToBitmap(files.write("cut.mag", buildMag(areasPastEnd())), &bitmap));
    ASSERT_EQ(dialogs.seen().size(), 1u);
    EXPECT_EQ(dialogs.seen()[0].title, QString::fromUtf8("警告"));
    EXPECT_EQ(dialogs.seen()[0].text, QString("Failed by MMAG_MagtoBmp"));
    EXPECT_EQ(dialogs.seen()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(bitmap.streamBytes.size(), 1u);
    expectPreviousKept();
}

}  // namespace
