#pragma once

#include <cstdint>
#include <limits>

namespace quorvel {

// Float-to-integer truncation toward zero with a defined result everywhere: values outside the
// 32-bit range and NaN give the integer minimum, as the x86 conversion instructions do.
inline int32_t truncToInt(float v) noexcept {
    if (v >= -2147483648.0f && v < 2147483648.0f) {
        return static_cast<int32_t>(v);
    }
    return std::numeric_limits<int32_t>::min();
}

inline int32_t truncToInt(double v) noexcept {
    if (v > -2147483649.0 && v < 2147483648.0) {
        return static_cast<int32_t>(v);
    }
    return std::numeric_limits<int32_t>::min();
}

// A colour channel as an output byte: trunc(c x 255) after limiting c to 0 to 1. Exactly 1.0
// gives 255, 0.999 gives 254; NaN gives 0.
inline uint8_t channelByte(float c) noexcept {
    if (!(c > 0.0f)) {
        return 0;
    }
    if (c > 1.0f) {
        c = 1.0f;
    }
    return static_cast<uint8_t>(static_cast<int>(c * 255.0f));
}

}  // namespace quorvel
