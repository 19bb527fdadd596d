#include "PictureFormats.h"

namespace lunidor {

bool ColourIndexer::indexOf(mag::Colour colour, std::uint8_t* index)
{
    const std::uint32_t key = std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue;
    // Neighbouring pixels mostly share their colour.
    if (key == lastKey_) {
        *index = lastIndex_;
        return true;
    }
    auto it = indices_.find(key);
    if (it == indices_.end()) {
        if (palette_.size() == 256)
            return false;
        it = indices_.emplace(key, static_cast<std::uint8_t>(palette_.size())).first;
        palette_.push_back(colour);
    }
    lastKey_ = key;
    lastIndex_ = it->second;
    *index = it->second;
    return true;
}

}  // namespace lunidor
