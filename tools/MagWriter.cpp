#include "MagWriter.h"

#include "AtomicOutput.h"

#include <algorithm>

namespace lunidor {
namespace {

MagWriteResult failure(MagWriteStatus status, std::string detail = {})
{
    MagWriteResult result;
    result.status = status;
    result.detail = std::move(detail);
    return result;
}

// What magPictureOf cannot place: a MAG file holds at least one pixel
// and at most 65536 x 65535.
mag::EncodeStatus checkExtent(const IndexedPicture& picture)
{
    if (picture.width == 0 || picture.height == 0 || picture.pixels.size() != std::size_t{picture.width} * picture.height)
        return mag::EncodeStatus::PictureSize;
    if (picture.width > kMaxWidth || picture.height > kMaxHeight)
        return mag::EncodeStatus::TooLarge;
    return mag::EncodeStatus::Ok;
}

MagWriteResult cannotEncode(mag::EncodeStatus status)
{
    MagWriteResult result = failure(MagWriteStatus::CannotEncode);
    result.encode = status;
    return result;
}

MagWriteResult convertText(const std::string& utf8, MagWriteStatus onFailure, std::string* shiftJis)
{
    std::string offending;
    const TextStatus s = toShiftJis(utf8, shiftJis, &offending);
    if (s == TextStatus::Ok)
        return {};
    MagWriteResult result = failure(onFailure, offending);
    result.text = s;
    return result;
}

MagWriteResult badPicture(PictureStatus status, std::string detail)
{
    MagWriteResult result = failure(MagWriteStatus::BadPicture, std::move(detail));
    result.picture = status;
    return result;
}

// Rows widened from width to aligned pixels, the new pixels index 0.
std::vector<std::uint8_t> padRows(const std::vector<std::uint8_t>& pixels, std::uint32_t width,
                                  std::uint32_t aligned, std::uint32_t height)
{
    std::vector<std::uint8_t> out(std::size_t{aligned} * height, 0);
    for (std::size_t y = 0; y < height; ++y)
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y * width), width,
                    out.begin() + static_cast<std::ptrdiff_t>(y * aligned));
    return out;
}

}  // namespace

std::string describe(const MagWriteResult& result)
{
    std::string text;
    switch (result.status) {
    case MagWriteStatus::Ok: return "ok";
    case MagWriteStatus::BadPicture: text = describe(result.picture); break;
    case MagWriteStatus::BadUserName: text = std::string("user name: ") + describe(result.text); break;
    case MagWriteStatus::BadComment: text = std::string("comment: ") + describe(result.text); break;
    case MagWriteStatus::CannotEncode: text = describe(result.encode); break;
    case MagWriteStatus::CannotWrite: text = "cannot write the output"; break;
    }
    if (!result.detail.empty())
        text += " (" + result.detail + ")";
    return text;
}

mag::MagPicture magPictureOf(IndexedPicture picture, bool lines200)
{
    mag::MagPicture out;
    out.colours256 = picture.palette.size() > 16;
    out.lines200 = lines200;
    out.palette = std::move(picture.palette);
    out.palette.resize(out.colours256 ? 256 : 16);
    out.endX = static_cast<std::uint16_t>(picture.width - 1);
    out.endY = static_cast<std::uint16_t>(picture.height - 1);
    const std::uint32_t aligned = mag::alignedWidth(out.colours256, 0, out.endX);
    // A 256-colour picture too wide for MAG stays as it is (aligned is 0
    // then) and the encoder refuses it.
    if (aligned > picture.width)
        out.pixels = padRows(picture.pixels, picture.width, aligned, picture.height);
    else
        out.pixels = std::move(picture.pixels);
    return out;
}

MagWriteResult encodePicture(IndexedPicture picture, const MagWriteOptions& options, std::vector<std::uint8_t>* file)
{
    std::string userName, comment;
    if (MagWriteResult r = convertText(options.userName, MagWriteStatus::BadUserName, &userName); !r.ok())
        return r;
    if (MagWriteResult r = convertText(options.comment, MagWriteStatus::BadComment, &comment); !r.ok())
        return r;
    if (const mag::EncodeStatus s = checkExtent(picture); s != mag::EncodeStatus::Ok)
        return cannotEncode(s);
    mag::MagPicture magPicture = magPictureOf(std::move(picture), options.lines200);
    magPicture.machineName = options.machineName;
    magPicture.userName = std::move(userName);
    magPicture.comment = std::move(comment);
    if (const mag::EncodeStatus s = mag::encode(magPicture, file); s != mag::EncodeStatus::Ok)
        return cannotEncode(s);
    return {};
}

MagWriteResult checkTexts(const MagWriteOptions& options)
{
    // The smallest picture there is, so that the texts meet exactly the
    // rules of encodePicture and of the encoder behind it.
    IndexedPicture dot;
    dot.width = 1;
    dot.height = 1;
    dot.pixels = {0};
    dot.palette = {mag::Colour{}};
    std::vector<std::uint8_t> ignored;
    return encodePicture(std::move(dot), options, &ignored);
}

MagWriteResult encodePictureFile(const std::vector<std::uint8_t>& pictureFile, const MagWriteOptions& options,
                                 std::vector<std::uint8_t>* magFile)
{
    IndexedPicture picture;
    std::string detail;
    if (const PictureStatus s = readPicture(pictureFile, &picture, &detail); s != PictureStatus::Ok)
        return badPicture(s, std::move(detail));
    return encodePicture(std::move(picture), options, magFile);
}

MagWriteResult writeMagFile(const std::string& inputPath, const std::string& outputPath,
                            const MagWriteOptions& options)
{
    IndexedPicture picture;
    std::string detail;
    if (const PictureStatus s = readPicture(inputPath, &picture, &detail); s != PictureStatus::Ok)
        return badPicture(s, std::move(detail));
    std::vector<std::uint8_t> file;
    if (MagWriteResult r = encodePicture(std::move(picture), options, &file); !r.ok())
        return r;
    if (tool::writeFileAtomically(outputPath, file, tool::Replace::Yes) != tool::WriteResult::Written)
        return failure(MagWriteStatus::CannotWrite);
    return {};
}

}  // namespace lunidor
