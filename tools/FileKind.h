#pragma once

// What a file is, told by its first bytes: enough to tell a user who gave
// a PNG where a MAG file belongs, or the other way round, what they gave.

#include <cstdint>
#include <span>

namespace tool {

enum class FileKind { Mag, Png, Bmp, Other };

FileKind fileKindOf(std::span<const std::uint8_t> file);

}  // namespace tool
