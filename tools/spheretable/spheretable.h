#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

// The sphere data file read by the light direction picker: one quarter of a unit sphere whose
// centre lies at depth 10 from the eye, sampled on a 76 x 76 grid. Rows r = 75 down to 0 each
// start with a little-endian 16-bit first column s(r), followed by one entry per column
// c = s(r) to 75. An entry's first three little-endian floats are t0 (the depth, 9 to 10), t1
// (the horizontal offset, negative toward the left) and t2 (the vertical offset, negative
// upward); its remaining bytes are zero.
inline constexpr int kSphereGridSize = 76;
inline constexpr size_t kSphereEntryBytes = 53;
inline constexpr size_t kSphereEntryCount = 4608;
inline constexpr size_t kSphereTableBytes =
    kSphereGridSize * sizeof(uint16_t) + kSphereEntryCount * kSphereEntryBytes;
static_assert(kSphereTableBytes == 244376);

// A grid point (c, r) lies on the sphere when (75 - c)^2 + r^2 is at most this, which makes the
// radius just over 76 grid units so that the widest row reaches column 0.
inline constexpr int kSphereRadiusSquared = 5777;

// The whole file, kSphereTableBytes long.
std::vector<uint8_t> makeSphereTable();

}  // namespace quorvel
