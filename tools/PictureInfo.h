#pragma once

// What --info tells about a MAG file: its header and its comment, with
// the texts made readable.

#include "mag/MagStatus.h"

#include <cstdint>
#include <string>

namespace tool {

struct PictureInfo {
    unsigned colours = 16;  // 16 or 256
    bool tallPixels = false;  // 200-line mode
    std::uint16_t x = 0;  // position of the top left corner
    std::uint16_t y = 0;
    std::int64_t width = 0;  // as the header gives the corners
    std::int64_t height = 0;
    // Shift-JIS decoded to UTF-8, escaped as displayShiftJis() does; the
    // blanks that pad the names to their fixed size are left out.
    std::string machine;
    std::string user;
    std::string comment;
};

// Reads the file's header and comment; the data areas need not be there.
mag::Status readPictureInfo(const std::string& name, PictureInfo* info);

std::string infoAsText(const std::string& name, const PictureInfo& info);
std::string infoAsJson(const std::string& name, const PictureInfo& info);

}  // namespace tool
