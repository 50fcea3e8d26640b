#pragma once

#include "engine/recordlayout.h"
#include "engine/textureparams.h"

#include <array>
#include <bit>
#include <cstdint>
#include <ostream>

namespace quorvel {

// Readable failure messages for the engine's plain records.
inline void PrintTo(const Colour& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

inline void PrintTo(const Vec3& v, std::ostream* os) {
    *os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

} // namespace quorvel

namespace quorvel::test {

// Records are compared through their stored bytes: that covers every field, compares floats by
// their bits (so NaN and -0 count) and stays correct when a field is added to the layout.
inline std::array<uint8_t, kRecordBytes> recordBytes(const TextureParams& record) {
    std::array<uint8_t, kRecordBytes> bytes{};
    encodeRecord(record, bytes);
    return bytes;
}

inline std::array<uint8_t, kColourMapBytes> mapBytes(const ColourMap& map) {
    std::array<uint8_t, kColourMapBytes> bytes{};
    encodeColourMap(map, bytes);
    return bytes;
}

inline bool sameBits(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

inline bool sameColour(const Colour& a, const Colour& b) {
    return sameBits(a.r, b.r) && sameBits(a.g, b.g) && sameBits(a.b, b.b) && sameBits(a.a, b.a);
}

} // namespace quorvel::test
