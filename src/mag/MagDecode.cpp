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
#include <bit>
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
            emitRow(r);
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

    // Whether the row's literal units lie within the file.  A row takes at
    // most rowBytes of them; only near the end of the file are they counted.
    bool literalsWithinFile() const
    {
        return pixel_ + rowBytes_ <= len_ || pixel_ + literalBytes(lineFlags_, positions_) <= len_;
    }

    // Literal bytes the flags call for: 2 for each zero nibble, counted
    // eight flag bytes at a time.
    static std::uint64_t literalBytes(const std::uint8_t* flags, std::uint32_t count)
    {
        std::uint64_t zeroNibbles = 0;
        std::uint32_t g = 0;
        for (; count - g >= 8; g += 8) {
            std::uint64_t word;
            std::memcpy(&word, flags + g, 8);
            const std::uint64_t nonZero = (word | word >> 1 | word >> 2 | word >> 3) & 0x1111111111111111ull;
            zeroNibbles += 16 - static_cast<unsigned>(std::popcount(nonZero));
        }
        for (; g < count; ++g)
            zeroNibbles += kLiteralBytes[flags[g]] / 2u;
        return 2 * zeroNibbles;
    }

    // The next literal unit; bytes at or past the end of the file read 0.
    void checkedLiteral(std::uint8_t* out)
    {
        out[0] = fileByte<true>(pixel_);
        out[1] = fileByte<true>(pixel_ + 1);
        pixel_ += 2;
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
            checkedLiteral(out);
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
    void emitChecked(std::uint8_t* row, std::uint64_t rowPos)
    {
        for (std::uint32_t g = 0; g < positions_; ++g) {
            const unsigned flag = lineFlags_[g];
            unit(row + 4 * g, rowPos + 4 * g, flag >> 4);
            unit(row + 4 * g + 2, rowPos + 4 * g + 2, flag & 15u);
        }
    }

    // The hot loop, for positions whose literals lie within the file and
    // whose copy sources lie in the rows already decoded, at least 8 bytes
    // from the row's start so that no source wraps into a row above.
    // Cursors and tables live in locals, since the byte stores to the output
    // could otherwise alias them and force reloads.
    void emitInterior(std::uint8_t* row, std::uint32_t first, std::uint32_t last)
    {
        std::ptrdiff_t offset[16];
        std::memcpy(offset, bufferOffset_, sizeof offset);
        const std::uint8_t* const lineFlags = lineFlags_;
        const std::uint8_t* literal = data_ + pixel_;
        std::uint32_t g = first;
        while (g < last) {
            std::uint8_t* out = row + 4 * g;
            const unsigned flag = lineFlags[g];
            if (isRunFlag(flag) && g + 1 < last && lineFlags[g + 1] == flag) {
                const std::uint32_t end = runEnd(lineFlags, g + 2, last, flag);
                literal = emitRun(out, flag, std::size_t{end - g} * 4, offset, literal);
                g = end;
                continue;
            }
            // Branch-free on the flag: a copy code of 0 selects the pixel
            // cursor as the source, any other code a fixed distance back.
            const unsigned left = flag >> 4, right = flag & 15u;
            const std::uint8_t* src = left == 0 ? literal : out + offset[left];
            literal += left == 0 ? 2 : 0;
            std::memcpy(out, src, 2);
            src = right == 0 ? literal : out + 2 + offset[right];
            literal += right == 0 ? 2 : 0;
            std::memcpy(out + 2, src, 2);
            ++g;
        }
        pixel_ = static_cast<std::uint64_t>(literal - data_);
    }

    // The end of the run of `flag` that continues at `from`, read a word at
    // a time.
    static std::uint32_t runEnd(const std::uint8_t* flags, std::uint32_t from, std::uint32_t last, unsigned flag)
    {
        if constexpr (std::endian::native == std::endian::little) {
            const std::uint64_t pattern = 0x0101010101010101ull * flag;
            for (; last - from >= 8; from += 8) {
                std::uint64_t word;
                std::memcpy(&word, flags + from, 8);
                if (const std::uint64_t diff = word ^ pattern; diff != 0)
                    return from + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
            }
        }
        while (from < last && flags[from] == flag)
            ++from;
        return from;
    }

    // Flags whose two units share their copy code; a run of positions with
    // the same such flag can be produced at once.
    static bool isRunFlag(unsigned flag) { return (flag >> 4) == (flag & 15u); }

    // A run of `bytes` bytes of positions that all have the flag.  Returns
    // the pixel cursor after it.
    static const std::uint8_t* emitRun(std::uint8_t* out, unsigned flag, std::size_t bytes,
                                       const std::ptrdiff_t* offset, const std::uint8_t* literal)
    {
        const unsigned code = flag & 15u;
        if (code == 0) {
            std::memcpy(out, literal, bytes);
            return literal + bytes;
        }
        if (code >= kFirstCodeUp) {
            // From rows above: the source lies at least a row minus 4 bytes
            // back, farther than a run, which starts 8 bytes into the row,
            // can reach, so the two do not overlap.
            std::memcpy(out, out + offset[code], bytes);
            return literal;
        }
        // From the left (codes 1 to 3): the run repeats the 2, 4 or 8
        // bytes before it, so it is a fill with that pattern.
        fillPeriodic(out, static_cast<std::size_t>(-offset[code]), bytes);
        return literal;
    }

    // Repeats the `period` bytes before out over `bytes` bytes; period is 2,
    // 4 or 8, which divides 8, so one 8-byte pattern serves every step.
    static void fillPeriodic(std::uint8_t* out, std::size_t period, std::size_t bytes)
    {
        std::uint8_t pattern[8];
        for (std::size_t i = 0; i < 8; i += period)
            std::memcpy(pattern + i, out - period, period);
        std::size_t done = 0;
        for (; done + 8 <= bytes; done += 8)
            std::memcpy(out + done, pattern, 8);
        std::memcpy(out + done, pattern, bytes - done);
    }

    // The first 8 bytes of a row, where a source to the left can lie before
    // the row's start.  With the rows laid end to end it then lies in the
    // row above, which in the bottom-up buffer is two rows further on than
    // the offset within a row says (in rows of 8 bytes or more).
    void emitRowStart(std::uint8_t* row)
    {
        const std::uint8_t* literal = data_ + pixel_;
        for (unsigned at = 0; at < kMaxBytesLeft; at += 2) {
            const unsigned flag = lineFlags_[at / 4];
            const unsigned code = at % 4 == 0 ? flag >> 4 : flag & 15u;
            const std::uint8_t* src = literal;
            if (code == 0)
                literal += 2;
            else
                src = row + at + bufferOffset_[code] + (at < kCopyLeft[code] ? 2 * std::ptrdiff_t{rowBytes_} : 0);
            std::memcpy(row + at, src, 2);
        }
        pixel_ = static_cast<std::uint64_t>(literal - data_);
    }

    void emitRow(std::uint32_t r)
    {
        std::uint8_t* row = rowStart(r);
        if (rowIsInterior(r)) {
            emitRowStart(row);
            emitInterior(row, kMaxBytesLeft / 4, positions_);
        } else {
            emitChecked(row, std::uint64_t{r} * rowBytes_);
        }
    }

    // A row whose copy sources all lie in the rows decoded before it (which
    // the 16 rows up of the farthest copy code guarantee), at least two
    // positions wide, and whose literals lie within the file.
    bool rowIsInterior(std::uint32_t r) const
    {
        return r >= kMaxRowsUp && positions_ >= kMaxBytesLeft / 4 && literalsWithinFile();
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
