#pragma once

// MAG pictures for the viewer's tests and what they should look like on
// screen, worked out from the parts without the converter.

#include "support/MagBuilder.h"

#include <QImage>

#include <cstdint>

namespace viewertest {

// A picture of random literal pixels over the test palette.
magtest::MagParts randomPicture(std::uint8_t screenMode, std::uint16_t width, std::uint16_t height);

// A picture whose header is accepted but whose pixel area reaches past the
// end of the file: the size probe passes, the conversion fails.
magtest::MagParts areasPastEnd();

// The colours the parts describe, top row first, over the aligned width.
QImage expectedImage(const magtest::MagParts& parts);

// The number of pixels in which two images of the same size differ.
int differingPixels(const QImage& a, const QImage& b);

}  // namespace viewertest
