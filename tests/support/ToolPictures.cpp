#include "support/ToolPictures.h"

#include "mag/Mag.h"

#include <algorithm>
#include <filesystem>

namespace magtest {

MagParts randomPicture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t rows,
                       std::uint32_t seed)
{
    MagParts parts;
    parts.screenMode = screenMode;
    parts.startX = startX;
    parts.endX = endX;
    parts.endY = static_cast<std::uint16_t>(rows - 1);
    const std::uint32_t rowBytes = rowBytesOf(parts);
    Random random(seed);
    parts.areas = literalOnly(random.bytes(std::size_t{rowBytes} * rows), rowBytes);
    return parts;
}

Bytes bmpOf(const Bytes& mag)
{
    const auto len = static_cast<std::uint32_t>(mag.size());
    std::uint32_t size = 0;
    if (mag::probeBmpSize(mag.data(), len, &size) != mag::Status::Ok)
        return {};
    Bytes image(size);
    if (mag::convertToBmp(mag.data(), len, image.data(), size) != mag::Status::Ok)
        return {};
    return image;
}

std::vector<std::string> filesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace magtest
