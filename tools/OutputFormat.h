#pragma once

// The formats lunidor-convert writes.  Each is one row of a table (name,
// file extension, what it can do, its encoder), so a further format is one
// more row and one more encoder.

#include "MagPicture.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

enum class OutputFormat { Png, Bmp };

struct EncodeSettings {
    bool stretch = false;  // double the rows of pictures with tall pixels
};

// By the name given to --format, in any letter case.
std::optional<OutputFormat> formatNamed(std::string_view name);

// By the extension of an output's file name, in any letter case.
std::optional<OutputFormat> formatOfPath(const std::string& path);

// The names --format accepts, for messages: "png|bmp".
std::string formatNames();

// The extension outputs of the format get, with its dot: ".png".
std::string extensionOf(OutputFormat format);

// Whether --stretch means anything for the format.
bool canStretch(OutputFormat format);

// Encodes the picture, which it may consume.  False when memory ran out.
bool encodePicture(OutputFormat format, MagPicture& picture, const EncodeSettings& settings,
                   std::vector<std::uint8_t>* out);

}  // namespace tool
