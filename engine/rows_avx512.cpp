// The row evaluator for processors with AVX-512 (F, BW, DQ, VL), compiled for them (never FMA; see
// engine/CMakeLists.txt). Everything compiled here may hold AVX-512 instructions, and the linker
// keeps one copy of an inline function used by several units: so this unit uses only its own
// internal code, intrinsics and out-of-line functions, never an inline function shared with
// code that runs on any processor.
#if defined(__x86_64__)

// GCC 12 takes the deliberately undefined first operand inside some AVX-512 intrinsics for an
// uninitialised variable (its bug 105593).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "engine/lanes_avx512.h"

// The kernels, on the lanes above.
#include "engine/lanerows.h"

namespace quorvel {

void renderLanesAvx512(const LaneRecord& record, float py, int first, int last,
                       uint8_t* rgb) noexcept {
    renderLanes(record, py, first, last, rgb);
}

}  // namespace quorvel

#endif
