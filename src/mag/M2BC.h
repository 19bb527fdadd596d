#pragma once

#include "mag/MagInfo.h"
#include "vcl/AnsiString.h"
#include "vcl/TObject.h"

#include <cstdint>

class TBitmap;

// The MAG to BMP converter.  It holds no state: every operation works only
// on its arguments, so instances are interchangeable.
class TM2BC : public TObject {
public:
    int MMAG_GetHeader(const std::uint8_t* data, std::uint32_t len, MMAG_INFO* info);
    int MMAG_GetPalette(const std::uint8_t* data, std::uint8_t* palette, char* comment, std::uint32_t len,
                        MMAG_INFO* info);
    void MMAG_Decode(const std::uint8_t* data, std::uint32_t len, std::uint8_t* pixels, MMAG_INFO* info);

    // Byte size of the BMP image the file will give, 0 when it cannot be converted.
    std::uint32_t MMAG_GetBmpSize(const char* path);
    // Converts the file into image[0, imageSize): 0 on success, -1 on failure.
    int MMAG_MagtoBmp(const char* path, std::uint8_t* image, std::uint32_t imageSize);

    // Decodes the file into the bitmap (viewer only).
    bool LoadMagToBitmap(AnsiString path, TBitmap* bitmap);
};
