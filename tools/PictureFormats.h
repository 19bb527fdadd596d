#pragma once

// The readers behind readPicture, one per file format, and the palette
// builder that the true-colour pictures of both share.

#include "PictureInput.h"

#include <unordered_map>

namespace lunidor {

PictureStatus readPng(const std::vector<std::uint8_t>& file, IndexedPicture* picture, std::string* detail);
PictureStatus readBmp(const std::vector<std::uint8_t>& file, IndexedPicture* picture, std::string* detail);

// Gives each distinct colour an index, in order of first appearance, and
// fails once a 257th colour turns up.
class ColourIndexer {
public:
    bool indexOf(mag::Colour colour, std::uint8_t* index);
    std::vector<mag::Colour> takePalette() { return std::move(palette_); }

private:
    std::unordered_map<std::uint32_t, std::uint8_t> indices_;
    std::vector<mag::Colour> palette_;
    std::uint32_t lastKey_ = 0xFFFFFFFF;  // no colour has this key
    std::uint8_t lastIndex_ = 0;
};

}  // namespace lunidor
