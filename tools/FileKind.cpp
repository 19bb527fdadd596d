#include "FileKind.h"

#include <algorithm>
#include <string_view>

namespace tool {
namespace {

bool startsWith(std::span<const std::uint8_t> file, std::string_view magic)
{
    return file.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), file.begin(),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

}  // namespace

FileKind fileKindOf(std::span<const std::uint8_t> file)
{
    using namespace std::string_view_literals;
    if (startsWith(file, "MAKI02  "sv))
        return FileKind::Mag;
    if (startsWith(file, "\x89PNG\r\n\x1A\n"sv))
        return FileKind::Png;
    if (startsWith(file, "BM"sv))
        return FileKind::Bmp;
    return FileKind::Other;
}

}  // namespace tool
