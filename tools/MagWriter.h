#pragma once

// The encoder's front end for the command line: reads a PNG or BMP,
// converts the texts to Shift-JIS and writes the MAG file atomically.

#include "PictureInput.h"
#include "ShiftJisText.h"
#include "mag/MagEncode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lunidor {

struct MagWriteOptions {
    std::string userName;              // UTF-8; at most 19 bytes once in Shift-JIS
    std::string comment;               // UTF-8
    bool lines200 = false;             // the picture is drawn for a 200-line screen
    std::string machineName = "PC98";  // at most 4 bytes, written as it stands
};

enum class MagWriteStatus {
    Ok,
    BadPicture,    // see picture
    BadUserName,   // see text
    BadComment,    // see text
    CannotEncode,  // see encode
    CannotWrite,
};

struct MagWriteResult {
    MagWriteStatus status = MagWriteStatus::Ok;
    PictureStatus picture = PictureStatus::Ok;
    TextStatus text = TextStatus::Ok;
    mag::EncodeStatus encode = mag::EncodeStatus::Ok;
    std::string detail;  // more words where there are any, e.g. "U+1F600"
    bool ok() const { return status == MagWriteStatus::Ok; }
};

// One line for the user, e.g. "comment: character has no Shift-JIS code
// (U+1F600)".  For CannotWrite the caller adds the output's name.
std::string describe(const MagWriteResult& result);

// The picture as a MAG file places it: at the top left corner, in 16
// colours when the palette has at most 16 entries (padded with black to 16)
// and in 256 otherwise; rows padded with index 0 on the right up to the
// pixel unit, while endX keeps the picture's own width.  The picture holds
// at least one pixel and fits within 65536 x 65535.
mag::MagPicture magPictureOf(IndexedPicture picture, bool lines200);

// Everything but the files: the MAG bytes of a picture read already.
MagWriteResult encodePicture(IndexedPicture picture, const MagWriteOptions& options, std::vector<std::uint8_t>* file);

// The texts and names of the options, checked before any picture is read:
// fails exactly where encodePicture would fail for them.
MagWriteResult checkTexts(const MagWriteOptions& options);

// The MAG bytes of a PNG or BMP file held in memory.
MagWriteResult encodePictureFile(const std::vector<std::uint8_t>& pictureFile, const MagWriteOptions& options,
                                 std::vector<std::uint8_t>* magFile);

// Reads the picture at inputPath and writes it as MAG to outputPath,
// replacing a file of that name only with a complete one.  On failure
// nothing is written and an existing output is left as it was.
MagWriteResult writeMagFile(const std::string& inputPath, const std::string& outputPath,
                            const MagWriteOptions& options);

}  // namespace lunidor
