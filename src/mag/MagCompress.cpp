// Choosing copy codes.
//
// Every 2-byte unit is compared with the fifteen places a copy code can
// take it from.  Only places inside the picture count: a source above the
// first row, or one that would wrap from the end of the row above, is never
// used, so the file decodes the same in any reader whatever it does at the
// picture's edges.  A unit that matches some place is always copied: a
// literal costs 2 pixel bytes, a changed flag byte at most 1 flag B byte.
//
// Flag bytes are stored as changes against the row above, so among the
// matching codes the one used one row up wins: when both units of a flag
// position keep their code, the position costs a single clear flag A bit.

#include "mag/MagCompress.h"

#include <cstring>

namespace mag {
namespace {

constexpr std::uint32_t kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr std::uint32_t kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// When the code of the row above does not match: the nearest places first,
// straight up before diagonal, since those tend to match again in the next
// row and keep the flag byte unchanged there.
constexpr unsigned kPreference[15] = {4, 1, 6, 2, 9, 3, 12, 15, 5, 7, 8, 10, 11, 13, 14};

std::uint16_t load16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

unsigned chooseCode(std::uint32_t matches, unsigned above)
{
    if (matches == 0)
        return 0;
    // Bit 0 is never set, so a literal above gives way to any copy.
    if (matches & (1u << above))
        return above;
    for (unsigned code : kPreference) {
        if (matches & (1u << code))
            return code;
    }
    return 0;
}

// Appends bits most significant first, running on across rows.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>* out) : out_(out) {}

    void put(bool bit)
    {
        if (mask_ == 0x80)
            out_->push_back(0);
        if (bit)
            out_->back() = static_cast<std::uint8_t>(out_->back() | mask_);
        mask_ = static_cast<std::uint8_t>(mask_ == 1 ? 0x80 : mask_ >> 1);
    }

private:
    std::vector<std::uint8_t>* out_;
    std::uint8_t mask_ = 0x80;
};

class Compressor {
public:
    Compressor(const std::uint8_t* rows, std::uint32_t rowBytes, std::uint32_t rowCount)
        : rows_(rows), rowBytes_(rowBytes), rowCount_(rowCount), above_(rowBytes / 4, 0), flagBits_(&areas_.flagA)
    {
        for (unsigned k = 0; k < 16; ++k)
            back_[k] = std::size_t{kCopyUp[k]} * rowBytes + kCopyLeft[k];
    }

    CodedAreas run()
    {
        const std::size_t positions = std::size_t{rowBytes_ / 4} * rowCount_;
        areas_.flagA.reserve(positions / 8 + 1);
        for (std::uint32_t r = 0; r < rowCount_; ++r)
            codeRow(r);
        return std::move(areas_);
    }

private:
    // Codes whose source lies in the picture for a unit x bytes into row r.
    static std::uint32_t reachable(std::uint32_t r, std::uint32_t x)
    {
        std::uint32_t codes = 0;
        for (unsigned k = 1; k < 16; ++k) {
            if (kCopyUp[k] <= r && kCopyLeft[k] <= x)
                codes |= 1u << k;
        }
        return codes;
    }

    std::uint32_t matchesAt(const std::uint8_t* unit, std::uint32_t candidates) const
    {
        const std::uint16_t value = load16(unit);
        std::uint32_t matches = 0;
        for (unsigned k = 1; k < 16; ++k) {
            if ((candidates & (1u << k)) && load16(unit - back_[k]) == value)
                matches |= 1u << k;
        }
        return matches;
    }

    void codeRow(std::uint32_t r)
    {
        const std::uint8_t* row = rows_ + std::size_t{r} * rowBytes_;
        // Only the first 8 bytes of a row have sources that would wrap.
        std::uint32_t nearStart[4];
        for (std::uint32_t i = 0; i < 4; ++i)
            nearStart[i] = reachable(r, 2 * i);
        const std::uint32_t inRow = reachable(r, 8);

        for (std::uint32_t g = 0; g < rowBytes_ / 4; ++g) {
            const std::uint32_t x = 4 * g;
            const std::uint32_t leftCandidates = x < 8 ? nearStart[x / 2] : inRow;
            const std::uint32_t rightCandidates = x + 2 < 8 ? nearStart[x / 2 + 1] : inRow;
            const unsigned left = chooseCode(matchesAt(row + x, leftCandidates), above_[g] >> 4);
            const unsigned right = chooseCode(matchesAt(row + x + 2, rightCandidates), above_[g] & 15u);
            emitFlag(g, static_cast<std::uint8_t>(left << 4 | right));
            if (left == 0)
                emitLiteral(row + x);
            if (right == 0)
                emitLiteral(row + x + 2);
        }
    }

    void emitFlag(std::uint32_t g, std::uint8_t flag)
    {
        const auto change = static_cast<std::uint8_t>(flag ^ above_[g]);
        flagBits_.put(change != 0);
        if (change != 0)
            areas_.flagB.push_back(change);
        above_[g] = flag;
    }

    void emitLiteral(const std::uint8_t* unit)
    {
        areas_.pixels.push_back(unit[0]);
        areas_.pixels.push_back(unit[1]);
    }

    const std::uint8_t* rows_;
    std::uint32_t rowBytes_;
    std::uint32_t rowCount_;
    std::size_t back_[16];
    std::vector<std::uint8_t> above_;  // flag byte of each position one row up
    CodedAreas areas_;
    BitWriter flagBits_;
};

}  // namespace

CodedAreas compressRows(const std::uint8_t* rows, std::uint32_t rowBytes, std::uint32_t rowCount)
{
    return Compressor(rows, rowBytes, rowCount).run();
}

}  // namespace mag
