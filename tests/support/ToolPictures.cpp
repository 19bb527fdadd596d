#include "support/ToolPictures.h"

#include "mag/Mag.h"

#include <algorithm>
#include <filesystem>

namespace magtest {

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
