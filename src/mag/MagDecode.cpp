// The pixel decoder.
//
// A row is divided into flag positions of 4 bytes, each made of two 2-byte
// units.  Every flag position has a flag byte whose nibbles are the copy
// codes of its two units: 0 takes the next 2 bytes of the pixel area, 1 to 15
// repeat 2 bytes found a fixed distance up and/or to the left.  Flag bytes
// are stored as changes against the row above: one flag A bit per position
// says whether the next flag B byte is XORed in.
//
// Rows are written straight into the bottom-up BMP buffer, the first picture
// row into the last memory row.  The flag bytes of the row above live in the
// tail of memory row 0, which the last picture row overwrites only after
// reading them, so the decoder needs no memory of its own.
//
// Untrusted bounds: any byte at or past the end of the file reads as 0, and
// a copy source before the picture's first byte gives zeros.  A source
// before the start of its row takes the last bytes of a row above, as if the
// rows were laid end to end.  Rows where none of this can happen take a path
// without the checks.

#include "mag/M2BC.h"
#include "mag/Mag.h"

#include <algorithm>
#include <cstring>

namespace mag {
namespace {

// Distance of a copy source, by copy code: bytes to the left, rows up.
constexpr std::uint32_t kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr std::uint32_t kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
constexpr std::uint32_t kMaxRowsUp = 16;
constexpr std::uint32_t kMaxBytesLeft = 8;

class Decoder {
public:
    Decoder(const std::uint8_t* data, std::uint32_t len, std::uint8_t* pixels, const MMAG_INFO& info)
        : data_(data), len_(len), pixels_(pixels), rowBytes_(info.rowBytes), height_(info.height),
          positions_(info.rowBytes / 4u), flagA_(std::uint64_t{info.headerOffset} + info.flagAOffset),
          flagB_(std::uint64_t{info.headerOffset} + info.flagBOffset),
          pixel_(std::uint64_t{info.headerOffset} + info.pixelOffset),
          lineFlags_(pixels + rowBytes_ - positions_)
    {
        for (unsigned k = 0; k < 16; ++k) {
            bytesBack_[k] = kCopyUp[k] * rowBytes_ + kCopyLeft[k];
            bufferOffset_[k] = static_cast<std::ptrdiff_t>(kCopyUp[k] * rowBytes_) -
                               static_cast<std::ptrdiff_t>(kCopyLeft[k]);
        }
    }

    void run()
    {
        std::memset(lineFlags_, 0, positions_);
        for (std::uint32_t r = 0; r < height_; ++r) {
            if (rowNeedsChecks(r))
                decodeRow<true>(r);
            else
                decodeRow<false>(r);
        }
    }

private:
    // A row needs the checked path when a copy source could lie before the
    // picture or a read could reach the end of the file.
    bool rowNeedsChecks(std::uint32_t r) const
    {
        return r < kMaxRowsUp || flagA_ + positions_ / 8 + 2 > len_ || flagB_ + positions_ > len_ ||
               pixel_ + rowBytes_ > len_;
    }

    std::uint8_t* rowStart(std::uint32_t r) const
    {
        return pixels_ + std::size_t{height_ - 1 - r} * rowBytes_;
    }

    template <bool kChecked>
    std::uint8_t fileByte(std::uint64_t pos) const
    {
        if constexpr (kChecked)
            return pos < len_ ? data_[pos] : 0;
        else
            return data_[pos];
    }

    template <bool kChecked>
    void literals(std::uint8_t* out, std::uint32_t count)
    {
        if (!kChecked || pixel_ + count <= len_) {
            std::memcpy(out, data_ + pixel_, count);
        } else {
            for (std::uint32_t i = 0; i < count; ++i)
                out[i] = fileByte<true>(pixel_ + i);
        }
        pixel_ += count;
    }

    template <bool kChecked>
    std::uint8_t nextFlag(std::uint32_t g)
    {
        std::uint8_t change = 0;
        if (fileByte<kChecked>(flagA_) & mask_)
            change = fileByte<kChecked>(flagB_++);
        mask_ = static_cast<std::uint8_t>(mask_ >> 1);
        if (mask_ == 0) {
            mask_ = 0x80;
            ++flagA_;
        }
        lineFlags_[g] ^= change;
        return lineFlags_[g];
    }

    // The source of a copy at picture position pos (rows laid end to end,
    // top row first), or null when it lies before the picture.
    const std::uint8_t* sourceAt(std::uint64_t pos, unsigned code) const
    {
        if (pos < bytesBack_[code])
            return nullptr;
        const std::uint64_t src = pos - bytesBack_[code];
        const auto row = static_cast<std::uint32_t>(src / rowBytes_);
        return rowStart(row) + src % rowBytes_;
    }

    // kNearRowStart: the unit may lie within 8 bytes of its row's start,
    // where a source to the left wraps into a row above.
    template <bool kChecked, bool kNearRowStart>
    void unit(std::uint8_t* out, std::uint64_t pos, unsigned code)
    {
        if (code == 0) {
            literals<kChecked>(out, 2);
            return;
        }
        const std::uint8_t* src = (kChecked || kNearRowStart) ? sourceAt(pos, code) : out + bufferOffset_[code];
        if (src == nullptr) {
            out[0] = out[1] = 0;
        } else {
            out[0] = src[0];
            out[1] = src[1];
        }
    }

    template <bool kChecked, bool kNearRowStart>
    void decodePositions(std::uint8_t* row, std::uint64_t rowPos, std::uint32_t first, std::uint32_t last)
    {
        for (std::uint32_t g = first; g < last; ++g) {
            const std::uint8_t flag = nextFlag<kChecked>(g);
            std::uint8_t* out = row + 4 * g;
            if (flag == 0) {
                literals<kChecked>(out, 4);
                continue;
            }
            unit<kChecked, kNearRowStart>(out, rowPos + 4 * g, flag >> 4);
            unit<kChecked, kNearRowStart>(out + 2, rowPos + 4 * g + 2, flag & 15u);
        }
    }

    template <bool kChecked>
    void decodeRow(std::uint32_t r)
    {
        std::uint8_t* row = rowStart(r);
        const std::uint64_t rowPos = std::uint64_t{r} * rowBytes_;
        const std::uint32_t nearStart = std::min(positions_, kMaxBytesLeft / 4);
        decodePositions<kChecked, true>(row, rowPos, 0, nearStart);
        decodePositions<kChecked, false>(row, rowPos, nearStart, positions_);
    }

    const std::uint8_t* data_;
    std::uint64_t len_;
    std::uint8_t* pixels_;
    std::uint32_t rowBytes_;
    std::uint32_t height_;
    std::uint32_t positions_;
    std::uint64_t flagA_;
    std::uint64_t flagB_;
    std::uint64_t pixel_;
    std::uint8_t mask_ = 0x80;
    std::uint8_t* lineFlags_;
    std::uint64_t bytesBack_[16];
    std::ptrdiff_t bufferOffset_[16];
};

// The decoder writes exactly rowBytes x height bytes; it runs only for a
// record whose row count and row size agree with that.
bool decodable(const MMAG_INFO& info)
{
    const std::uint32_t rows = std::uint32_t{info.endY} - info.startY + 1;
    return info.rowBytes != 0 && info.rowBytes % 4 == 0 && info.height != 0 && rows == info.height;
}

}  // namespace

void decode(const std::uint8_t* data, std::uint32_t len, std::uint8_t* pixels, const MMAG_INFO* info)
{
    if (!decodable(*info))
        return;
    Decoder(data, len, pixels, *info).run();
}

}  // namespace mag

void TM2BC::MMAG_Decode(const std::uint8_t* data, std::uint32_t len, std::uint8_t* pixels, MMAG_INFO* info)
{
    mag::decode(data, len, pixels, info);
}
