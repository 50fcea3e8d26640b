// The row evaluator for processors with AVX2, compiled with -mavx2 (and never FMA; see
// engine/CMakeLists.txt). Everything compiled here may hold AVX2 instructions, and the linker
// keeps one copy of an inline function used by several units: so this unit uses only its own
// internal code, intrinsics and out-of-line functions, never an inline function shared with
// code that runs on any processor.
#if defined(__x86_64__)

#include "engine/lanes_avx2.h"

// The kernels, on the lanes above.
#include "engine/lanerows.h"

namespace quorvel {

void renderLanesAvx2(const LaneRecord& record, float py, int first, int last,
                     uint8_t* rgb) noexcept {
    renderLanes(record, py, first, last, rgb);
}

}  // namespace quorvel

#endif
