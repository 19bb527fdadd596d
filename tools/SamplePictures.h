#pragma once

// The pictures in samples/: drawn here from nothing but code, so that every
// sample file is ours and can be made again with `make samples`.

#include "mag/MagEncode.h"

#include <string>
#include <vector>

namespace lunidor {

struct SamplePicture {
    std::string fileName;  // e.g. "testcard-16.mag"
    mag::MagPicture picture;
};

std::vector<SamplePicture> samplePictures();

}  // namespace lunidor
