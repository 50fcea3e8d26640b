#pragma once

#include "engine/defaults.h"
#include "engine/materials.h"
#include "engine/noise.h"
#include "engine/numeric.h"
#include "engine/recordlayout.h"
#include "engine/relief.h"
#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace quorvel::test {

using Bytes = std::vector<uint8_t>;

// Keeps every row the renderer hands over, in order.
struct CollectingSink : RowSink {
    bool acceptRow(int, std::span<const uint8_t> rgb) override {
        bytes.insert(bytes.end(), rgb.begin(), rgb.end());
        return true;
    }
    Bytes bytes;
};
using enum MaterialType;
using enum ReliefType;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Every engine test reads the noise tables.
class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }
};

inline TextureParams defaultsOf(MaterialType m) { return materialDefaults(static_cast<int>(m)); }

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

// Bit for bit, so NaN and -0 count.
template <typename T> bool same(const T& a, const T& b) {
    return std::bit_cast<std::array<uint8_t, sizeof(T)>>(a) ==
           std::bit_cast<std::array<uint8_t, sizeof(T)>>(b);
}

// FNV-1a: pins many bytes as one value in a table.
inline uint32_t fnv(std::span<const uint8_t> bytes, uint32_t hash = 2166136261u) {
    for (uint8_t b : bytes) {
        hash = (hash ^ b) * 16777619u;
    }
    return hash;
}

template <size_t N> std::array<uint8_t, N> randomBytes(std::mt19937& random) {
    std::array<uint8_t, N> bytes;
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<uint8_t>(random()); });
    return bytes;
}

// A record and colour map of random bytes, as a damaged file may hold: every field differs
// from every other and from the defaults, NaN payloads and out-of-list values included.
inline TextureParams randomRecord(std::mt19937& random) {
    TextureParams record;
    decodeRecord(randomBytes<kRecordBytes>(random), record);
    decodeColourMap(randomBytes<kColourMapBytes>(random), record.colourMap);
    return record;
}

// The whole image through renderRow, rows top-down.
inline Bytes image(const TextureParams& record, const Sampling& s) {
    const size_t row = 3 * static_cast<size_t>(s.width());
    Bytes rgb(row * static_cast<size_t>(s.height()));
    for (int j = 0; j < s.height(); ++j) {
        renderRow(record, s, j, std::span(rgb).subspan(row * static_cast<size_t>(j)));
    }
    return rgb;
}

}  // namespace quorvel::test
