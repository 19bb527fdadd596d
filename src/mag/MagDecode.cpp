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
#include <array>
#include <cstring>

namespace mag {
namespace {

// Distance of a copy source, by copy code: bytes to the left, rows up.
constexpr std::uint32_t kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr std::uint32_t kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
constexpr std::uint32_t kMaxRowsUp = 16;
constexpr std::uint32_t kMaxBytesLeft = 8;
constexpr unsigned kFirstCodeUp = 4;  // codes 4 to 15 copy from rows above

// Literal bytes a flag byte takes from the pixel area: 2 per zero nibble.
constexpr std::array<std::uint8_t, 256> kLiteralBytes = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned f = 0; f < 256; ++f)
        table[f] = static_cast<std::uint8_t>(((f >> 4) == 0 ? 2 : 0) + ((f & 15) == 0 ? 2 : 0));
    return table;
}();

// Each row is decoded in two passes.  The first brings the row's flag bytes
// up to date and counts the literal bytes they call for; with that count the
// second pass knows whether any read can reach the end of the file, and
// takes the checked path only when one can (or when a copy source could lie
// before the picture, which only the first 16 rows allow).
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
            if (flagReadsNeedChecks())
                updateFlags<true>();
            else
                updateFlags<false>();
            if (r < kMaxRowsUp || !literalsWithinFile())
                emitRow<true>(r);
            else
                emitRow<false>(r);
        }
    }

private:
    // One row reads at most positions_ flag A bits, which may straddle one
    // byte more than positions_ / 8, and one flag B byte per position.
    bool flagReadsNeedChecks() const { return flagA_ + positions_ / 8 + 2 > len_ || flagB_ + positions_ > len_; }

    std::uint8_t* rowStart(std::uint32_t r) const { return pixels_ + std::size_t{height_ - 1 - r} * rowBytes_; }

    template <bool kChecked>
    std::uint8_t fileByte(std::uint64_t pos) const
    {
        if constexpr (kChecked)
            return pos < len_ ? data_[pos] : 0;
        else
            return data_[pos];
    }

    // Flag bytes are kept as changes against the row above: a set flag A
    // bit XORs in the next flag B byte.  The bit stream runs on from row to
    // row without restarting at a byte boundary.
    template <bool kChecked>
    void updateFlags()
    {
        // Locals, not members: the byte stores to the line flags could
        // otherwise alias the cursors and force a reload on every position.
        std::uint8_t* const lineFlags = lineFlags_;
        std::uint64_t flagA = flagA_, flagB = flagB_;
        unsigned mask = mask_;
        for (std::uint32_t g = 0; g < positions_;) {
            // A clear flag A byte leaves eight flag bytes as they were.
            if (mask == 0x80 && positions_ - g >= 8 && fileByte<kChecked>(flagA) == 0) {
                g += 8;
                ++flagA;
                continue;
            }
            const unsigned set = (fileByte<kChecked>(flagA) & mask) != 0;
            // Without checks the flag B byte is read whether or not it is
            // taken, which keeps the loop free of branches on the data; the
            // row's bound leaves room for one byte per position.
            const unsigned change = kChecked ? (set ? fileByte<true>(flagB) : 0u) : (data_[flagB] & (0u - set));
            lineFlags[g] = static_cast<std::uint8_t>(lineFlags[g] ^ change);
            flagB += set;
            mask >>= 1;
            flagA += mask == 0;
            mask = mask == 0 ? 0x80 : mask;
            ++g;
        }
        flagA_ = flagA;
        flagB_ = flagB;
        mask_ = static_cast<std::uint8_t>(mask);
    }

    // Whether the row's literal units lie within the file.  Counting them
    // is needed only near the end of the file.
    bool literalsWithinFile() const
    {
        if (pixel_ + rowBytes_ <= len_)
            return true;
        std::uint64_t literalBytes = 0;
        for (std::uint32_t g = 0; g < positions_; ++g)
            literalBytes += kLiteralBytes[lineFlags_[g]];
        return pixel_ + literalBytes <= len_;
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

    // The source of a copy at picture position pos (rows laid end to end,
    // top row first), or null when it lies before the picture.
    const std::uint8_t* sourceAt(std::uint64_t pos, unsigned code) const
    {
        if (pos < bytesBack_[code])
            return nullptr;
        const std::uint64_t src = pos - bytesBack_[code];
        return rowStart(static_cast<std::uint32_t>(src / rowBytes_)) + src % rowBytes_;
    }

    void unit(std::uint8_t* out, std::uint64_t pos, unsigned code)
    {
        if (code == 0) {
            literals<true>(out, 2);
            return;
        }
        const std::uint8_t* src = sourceAt(pos, code);
        if (src == nullptr) {
            out[0] = out[1] = 0;
        } else {
            out[0] = src[0];
            out[1] = src[1];
        }
    }

    // The general path: every read bounded, every source placed through the
    // rows laid end to end.
    void emitChecked(std::uint8_t* row, std::uint64_t rowPos, std::uint32_t first, std::uint32_t last)
    {
        for (std::uint32_t g = first; g < last; ++g) {
            const unsigned flag = lineFlags_[g];
            unit(row + 4 * g, rowPos + 4 * g, flag >> 4);
            unit(row + 4 * g + 2, rowPos + 4 * g + 2, flag & 15u);
        }
    }

    // The hot loop, for positions whose literals lie within the file and
    // whose copy sources lie in the rows already decoded, at least 8 bytes
    // from the row's start so that no source wraps into a row above.  It has
    // no branch on the flag contents: a copy code of 0 selects the pixel
    // cursor as the source, any other code a fixed distance back.  Cursors
    // and tables live in locals, since the byte stores to the output could
    // otherwise alias them and force reloads.
    void emitInterior(std::uint8_t* row, std::uint32_t first, std::uint32_t last)
    {
        std::ptrdiff_t offset[16];
        std::memcpy(offset, bufferOffset_, sizeof offset);
        const std::uint8_t* const lineFlags = lineFlags_;
        const std::uint8_t* literal = data_ + pixel_;
        std::uint8_t* out = row + 4 * first;
        for (std::uint32_t g = first; g < last; ++g, out += 4) {
            const unsigned flag = lineFlags[g];
            if (flag == 0) {
                // Literal positions come in runs; move each run at once.
                std::uint32_t end = g + 1;
                while (end < last && lineFlags[end] == 0)
                    ++end;
                const std::size_t bytes = std::size_t{end - g} * 4;
                std::memcpy(out, literal, bytes);
                literal += bytes;
                out += bytes - 4;
                g = end - 1;
                continue;
            }
            const unsigned left = flag >> 4, right = flag & 15u;
            if (left == right && left >= kFirstCodeUp) {
                // A run of positions copying from rows above moves at once:
                // the source lies at least a row minus 8 bytes back, farther
                // than the run, which ends at the row's end, can reach.
                std::uint32_t end = g + 1;
                while (end < last && lineFlags[end] == flag)
                    ++end;
                const std::size_t bytes = std::size_t{end - g} * 4;
                std::memcpy(out, out + offset[left], bytes);
                out += bytes - 4;
                g = end - 1;
                continue;
            }
            if (left == right && left != 1) {
                // Both units from the same place to the left: one 4-byte
                // move, clear of its source.
                std::memcpy(out, out + offset[left], 4);
                continue;
            }
            const std::uint8_t* src = left == 0 ? literal : out + offset[left];
            literal += left == 0 ? 2 : 0;
            std::memcpy(out, src, 2);
            src = right == 0 ? literal : out + 2 + offset[right];
            literal += right == 0 ? 2 : 0;
            std::memcpy(out + 2, src, 2);
        }
        pixel_ = static_cast<std::uint64_t>(literal - data_);
    }

    template <bool kChecked>
    void emitRow(std::uint32_t r)
    {
        std::uint8_t* row = rowStart(r);
        const std::uint64_t rowPos = std::uint64_t{r} * rowBytes_;
        const std::uint32_t nearStart = std::min(positions_, kMaxBytesLeft / 4);
        if constexpr (kChecked) {
            emitChecked(row, rowPos, 0, positions_);
        } else {
            emitChecked(row, rowPos, 0, nearStart);
            emitInterior(row, nearStart, positions_);
        }
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
