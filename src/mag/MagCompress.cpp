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
// When that code no longer matches, the new code is the one that goes on
// matching furthest down the same column, so that the rows below can keep
// it in turn.

#include "mag/MagCompress.h"

#include <cstring>

namespace mag {
namespace {

constexpr std::uint32_t kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr std::uint32_t kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// How far down a new code is followed.  Bounded, so that a large area of
// one colour, where every code matches all the way, costs no more than this
// per unit; beyond 16 rows the files hardly get smaller.
constexpr std::uint32_t kLookAhead = 16;

// Among codes that match equally far down: near places first, straight up
// before diagonal.
constexpr unsigned kPreference[15] = {4, 1, 6, 2, 9, 3, 12, 15, 5, 7, 8, 10, 11, 13, 14};

std::uint16_t load16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

unsigned firstPreferred(std::uint32_t codes)
{
    for (unsigned code : kPreference) {
        if (codes & (1u << code))
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
        for (std::uint32_t r = 0; r <= 16; ++r)
            for (std::uint32_t i = 0; i <= 4; ++i)
                reachable_[r][i] = reachable(r, 2 * i);
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
    // Only the first 16 rows and the first 8 bytes of a row lose any.
    static std::uint32_t reachable(std::uint32_t r, std::uint32_t x)
    {
        std::uint32_t codes = 0;
        for (unsigned k = 1; k < 16; ++k) {
            if (kCopyUp[k] <= r && kCopyLeft[k] <= x)
                codes |= 1u << k;
        }
        return codes;
    }

    std::uint32_t candidates(std::uint32_t r, std::uint32_t x) const
    {
        return reachable_[r < 16 ? r : 16][x < 8 ? x / 2 : 4];
    }

    // Which of the given codes find the unit's 2 bytes at their source.
    std::uint32_t matchesAt(const std::uint8_t* unit, std::uint32_t codes) const
    {
        const std::uint16_t value = load16(unit);
        std::uint32_t matches = 0;
        for (unsigned k = 1; k < 16; ++k) {
            if ((codes & (1u << k)) && load16(unit - back_[k]) == value)
                matches |= 1u << k;
        }
        return matches;
    }

    // The copy code of the unit x bytes into row r, whose code one row up
    // was `above`.  When that code no longer matches, the codes that go on
    // matching furthest down win, so that the rows below keep their flags.
    unsigned codeFor(std::uint32_t r, std::uint32_t x, unsigned above) const
    {
        const std::uint8_t* unit = rows_ + std::size_t{r} * rowBytes_ + x;
        std::uint32_t lasting = matchesAt(unit, candidates(r, x));
        if (lasting == 0)
            return 0;
        // Bit 0 is never set, so a literal above gives way to any copy.
        if (lasting & (1u << above))
            return above;
        for (std::uint32_t down = 1; down <= kLookAhead && r + down < rowCount_; ++down) {
            const std::uint32_t still = matchesAt(unit + std::size_t{down} * rowBytes_, lasting);
            if (still == 0)
                break;
            lasting = still;
        }
        return firstPreferred(lasting);
    }

    void codeRow(std::uint32_t r)
    {
        const std::uint8_t* row = rows_ + std::size_t{r} * rowBytes_;
        for (std::uint32_t g = 0; g < rowBytes_ / 4; ++g) {
            const std::uint32_t x = 4 * g;
            const unsigned left = codeFor(r, x, above_[g] >> 4);
            const unsigned right = codeFor(r, x + 2, above_[g] & 15u);
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
    std::uint32_t reachable_[17][5];  // by row (16: any later) and by x / 2 (4: 8 or more)
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
