#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lunidor {

// Writes the bytes beside path under a temporary name and renames them into
// place, so that a failure never leaves a partial file behind and an
// existing file is replaced only by a complete one.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace lunidor
