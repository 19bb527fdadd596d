#pragma once

// The formats lunidor-convert writes.  Each is one row of a table (name,
// file extension, what it can do, its converter), so a further format is
// one more row and one more converter.  PNG and BMP are made from MAG
// files; MAG is made from PNG and BMP pictures.

#include "MagWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

enum class OutputFormat { Png, Bmp, Mag };

struct EncodeSettings {
    bool stretch = false;          // PNG: double the rows of pictures with tall pixels
    lunidor::MagWriteOptions mag;  // MAG: the texts and 200-line mode
};

// By the name given to --format, in any letter case.
std::optional<OutputFormat> formatNamed(std::string_view name);

// By the extension of an output's file name, in any letter case.
std::optional<OutputFormat> formatOfPath(const std::string& path);

// The names --format accepts, for messages: "png|bmp|mag".
std::string formatNames();

// The extension outputs of the format get, with its dot: ".png".
std::string extensionOf(OutputFormat format);

// Whether --stretch means anything for the format.
bool canStretch(OutputFormat format);

// Whether --user, --comment and --200-line mean anything for the format.
bool takesMagTexts(OutputFormat format);

// Converts the bytes of an input file, which it may consume, into the
// format.  Returns the reason it could not, in the words that follow
// "INPUT: " in a message, or nothing when *out holds the output.
std::string convertFile(OutputFormat format, std::vector<std::uint8_t> input, const EncodeSettings& settings,
                        std::vector<std::uint8_t>* out);

}  // namespace tool
