#pragma once

#include <cstdint>

// Little-endian access to bytes whose bounds the caller has already checked.
namespace mag::bytes {

inline std::uint16_t u16le(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t u32le(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void put16le(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32le(std::uint8_t* p, std::uint32_t v)
{
    put16le(p, v);
    put16le(p + 2, v >> 16);
}

// True when [offset, offset + count) lies within len bytes.  Both are
// widened to 64 bits first, so an offset or size near 2^32 cannot wrap.
inline bool fits(std::uint64_t offset, std::uint64_t count, std::uint64_t len)
{
    return offset <= len && count <= len - offset;
}

}  // namespace mag::bytes
