#pragma once

// Writing an output so that nobody ever sees half of it: the bytes go into
// a file without a name, or with a temporary one, and only a complete file
// is given the output's name.

#include <cstdint>
#include <span>
#include <string>

namespace tool {

enum class Replace { No, Yes };

enum class WriteResult {
    Written,
    Exists,  // Replace::No and a file of that name is already there
    Failed,
};

// Writes bytes as the file at path.  With Replace::No an existing file is
// left alone and Exists returned; the check and the naming are one step,
// so a file that appears meanwhile is not replaced either.
WriteResult writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, Replace replace);

// Writes bytes to standard output; false when they could not all be written.
bool writeStandardOutput(std::span<const std::uint8_t> bytes);

}  // namespace tool
