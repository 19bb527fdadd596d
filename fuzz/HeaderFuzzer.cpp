// Fuzzes the header reader alone, against a model written straight from the
// format: where the header lies, the result each file gets, and what the
// record holds after each result.
//
// Promises checked:
// - no 0x1A byte: result 2 and the record untouched;
// - no room for the header, or a wrong signature: result 2 or 3 with only
//   headerOffset written;
// - otherwise every field is written (the same record whatever it held
//   before) and equals the model, and so does the result;
// - the size probe, which holds only the bytes up to the end of the header,
//   gets the same record and agrees with the whole-file result;
// - for an accepted header the palette reader copies the comment into a
//   buffer of exactly the room promised, and writes the colour table only
//   when the palette lies within the bytes held.

#include "FuzzCheck.h"
#include "mag/Mag.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using magfuzz::require;

struct Outcome {
    int result;
    MMAG_INFO info;
};

Outcome readWithFill(const std::uint8_t* data, std::uint32_t len, std::uint8_t fill)
{
    Outcome o;
    std::memset(&o.info, fill, sizeof o.info);
    o.result = mag::getHeader(data, len, &o.info);
    return o;
}

std::uint32_t le(const std::uint8_t* p, unsigned n)
{
    std::uint32_t v = 0;
    for (unsigned i = n; i-- > 0;)
        v = v << 8 | p[i];
    return v;
}

// The record as the format defines it, for a header that lies within len.
MMAG_INFO modelRecord(const std::uint8_t* data, std::uint32_t headerOffset)
{
    const std::uint8_t* h = data + headerOffset;
    MMAG_INFO m{};
    m.headTop = h[0];
    m.machine = h[1];
    m.machineFlags = h[2];
    m.screenMode = h[3];
    m.startX = static_cast<std::uint16_t>(le(h + 4, 2));
    m.startY = static_cast<std::uint16_t>(le(h + 6, 2));
    m.endX = static_cast<std::uint16_t>(le(h + 8, 2));
    m.endY = static_cast<std::uint16_t>(le(h + 10, 2));
    const std::uint32_t unit = m.screenMode & 0x80 ? 4 : 8;
    const std::uint32_t alignedStart = m.startX / unit * unit;
    const std::uint32_t alignedEnd = (m.endX / unit + 1) * unit - 1;
    m.alignedStartX = static_cast<std::uint16_t>(alignedStart);
    m.alignedEndX = static_cast<std::uint16_t>(alignedEnd);
    m.rowBytes = static_cast<std::uint16_t>((alignedEnd + 1 - alignedStart) / (unit / 4));
    m.height = static_cast<std::uint16_t>(m.endY - m.startY + 1);
    m.flagAOffset = le(h + 12, 4);
    m.flagBOffset = le(h + 16, 4);
    m.flagBSize = le(h + 20, 4);
    m.pixelOffset = le(h + 24, 4);
    m.pixelSize = le(h + 28, 4);
    m.headerOffset = headerOffset;
    std::memcpy(m.machineName, data + 8, 4);
    std::memcpy(m.userName, data + 12, 19);
    return m;
}

// Besides an empty x extent, an extent whose row count or row size the
// record cannot carry is refused: startY <= endY < startY + 65535 rows,
// and a 256-colour row of 65536 pixels.
bool extentUsable(const MMAG_INFO& m)
{
    return m.alignedEndX > m.alignedStartX && m.rowBytes != 0 && m.endY >= m.startY && m.endY - m.startY < 0xFFFF;
}

int modelResult(const MMAG_INFO& m, std::uint32_t len)
{
    if (m.headTop != 0 || !extentUsable(m))
        return mag::kHeaderUnusable;
    const std::uint64_t h = m.headerOffset;
    const std::uint64_t flagAPerRow = m.rowBytes <= 1 ? 1u : (m.rowBytes / 2u + 15u) / 16u;
    const bool within = h + m.flagAOffset + flagAPerRow * m.height <= len &&
                        h + m.flagBOffset + m.flagBSize <= len && h + m.pixelOffset + m.pixelSize <= len;
    return within ? mag::kHeaderOk : mag::kHeaderAreasPastEnd;
}

bool sameRecord(const MMAG_INFO& a, const MMAG_INFO& b)
{
    return a.headTop == b.headTop && a.machine == b.machine && a.machineFlags == b.machineFlags &&
           a.screenMode == b.screenMode && a.startX == b.startX && a.endX == b.endX && a.startY == b.startY &&
           a.endY == b.endY && a.alignedStartX == b.alignedStartX && a.alignedEndX == b.alignedEndX &&
           a.rowBytes == b.rowBytes && a.height == b.height && a.flagAOffset == b.flagAOffset &&
           a.flagBOffset == b.flagBOffset && a.flagBSize == b.flagBSize && a.pixelOffset == b.pixelOffset &&
           a.pixelSize == b.pixelSize && a.headerOffset == b.headerOffset &&
           std::memcmp(a.machineName, b.machineName, 5) == 0 && std::memcmp(a.userName, b.userName, 20) == 0;
}

// Every byte of the record still holds the fill, headerOffset excepted
// when it may have been written.
bool untouched(const MMAG_INFO& info, std::uint8_t fill, bool exceptHeaderOffset)
{
    MMAG_INFO expected;
    std::memset(&expected, fill, sizeof expected);
    if (exceptHeaderOffset)
        expected.headerOffset = info.headerOffset;
    return sameRecord(info, expected);
}

void checkIncomplete(const Outcome& zeros, const Outcome& ones, const std::uint8_t* data, std::uint32_t len)
{
    const void* mark = len == 0 ? nullptr : std::memchr(data, 0x1A, len);
    if (mark == nullptr) {
        require(zeros.result == mag::kHeaderMissing, "no 0x1A byte gives result 2");
        require(untouched(zeros.info, 0x00, false) && untouched(ones.info, 0xFF, false),
                "without a 0x1A byte the record is untouched");
        return;
    }
    const auto headerOffset = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(mark) - data) + 1;
    const bool fits = std::uint64_t{headerOffset} + 32 <= len;
    const bool signature = fits && std::memcmp(data, "MAKI02  ", 8) == 0;
    require(!signature, "a header that fits behind the signature is read");
    require(zeros.result == (fits ? mag::kHeaderNotMag : mag::kHeaderMissing),
            "a header that does not fit gives 2, a wrong signature 3");
    require(untouched(zeros.info, 0x00, true) && untouched(ones.info, 0xFF, true),
            "results 2 and 3 write nothing but headerOffset");
    require(zeros.info.headerOffset == headerOffset && ones.info.headerOffset == headerOffset,
            "headerOffset is one past the first 0x1A byte");
}

// The probe holds the file only up to the end of its header: it must find
// the same record, and accept it exactly when the whole file's header is
// valid (results 0 and 1).
void checkProbeAgrees(const Outcome& whole, const std::uint8_t* data)
{
    const std::uint32_t probeLen = whole.info.headerOffset + 32;
    const Outcome probe = readWithFill(data, probeLen, 0x00);
    const bool wholeValid = whole.result == mag::kHeaderOk || whole.result == mag::kHeaderAreasPastEnd;
    const bool probeValid = probe.result == mag::kHeaderOk || probe.result == mag::kHeaderAreasPastEnd;
    require(wholeValid == probeValid && (wholeValid || probe.result == whole.result),
            "the probe's prefix gets the whole file's verdict on the header");
    require(sameRecord(probe.info, whole.info), "the probe's prefix gives the same record");
    std::uint32_t size = 0;
    require((mag::probeBmpSize(data, probeLen, &size) == mag::Status::Ok) == wholeValid,
            "the size probe accepts exactly the valid headers");
    require(!wholeValid || size == mag::bmpImageSize(whole.info), "the size probe sizes the record's image");
}

// The comment runs from offset 31 to the 0x1A; a 0x1A inside the names
// leaves no room for one, and the comment is then empty.
void checkComment(const std::uint8_t* data, std::uint32_t len, const MMAG_INFO& info)
{
    const std::uint32_t length = info.headerOffset > 32 ? info.headerOffset - 32 : 0;
    std::vector<char> comment(length + 1, '\x5A');
    require(mag::getPalette(data, nullptr, comment.data(), len, &info) == 0, "a comment alone always succeeds");
    require(std::memcmp(comment.data(), data + 31, length) == 0 && comment[length] == '\0',
            "the comment is the bytes from offset 31 to the 0x1A, with a NUL after them");
}

void checkPalette(const std::uint8_t* data, std::uint32_t len, const MMAG_INFO& info)
{
    std::vector<std::uint8_t> table(mag::colourTableBytes(info), 0x5A);
    const bool fits = std::uint64_t{info.headerOffset} + 32 + mag::paletteBytes(info) <= len;
    const int result = mag::getPalette(data, table.data(), nullptr, len, &info);
    require(result == (fits ? 0 : 1), "the palette reader fails exactly when the palette is cut short");
    require(fits || std::all_of(table.begin(), table.end(), [](std::uint8_t b) { return b == 0x5A; }),
            "a palette cut short leaves the colour table untouched");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::numeric_limits<std::uint32_t>::max())
        return 0;
    const auto len = static_cast<std::uint32_t>(size);
    const Outcome zeros = readWithFill(data, len, 0x00);
    const Outcome ones = readWithFill(data, len, 0xFF);
    require(zeros.result == ones.result, "the result does not depend on the record's old content");
    if (zeros.result == mag::kHeaderMissing || zeros.result == mag::kHeaderNotMag) {
        checkIncomplete(zeros, ones, data, len);
        return 0;
    }
    require(sameRecord(zeros.info, ones.info), "results 0, 1 and 4 write every field");
    require(zeros.info.headerOffset >= 1 && std::uint64_t{zeros.info.headerOffset} + 32 <= len,
            "an accepted header lies within the bytes held");
    const MMAG_INFO model = modelRecord(data, zeros.info.headerOffset);
    require(sameRecord(zeros.info, model), "the record holds the header as the format defines it");
    require(std::memchr(data, 0x1A, zeros.info.headerOffset - 1) == nullptr &&
                data[zeros.info.headerOffset - 1] == 0x1A,
            "the header follows the first 0x1A byte");
    require(std::memcmp(data, "MAKI02  ", 8) == 0, "results 0, 1 and 4 need the signature");
    require(zeros.result == modelResult(model, len), "the result is the one the format gives");
    checkProbeAgrees(zeros, data);
    if (zeros.result != mag::kHeaderUnusable) {
        checkComment(data, len, zeros.info);
        checkPalette(data, len, zeros.info);
    }
    return 0;
}
