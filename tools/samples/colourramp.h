#pragma once

#include "engine/textureparams.h"

#include <initializer_list>

namespace quorvel {

// One colour of a ramp at a position from 0 to 1; r, g, b in 0 to 1.
struct RampStop {
    float position;
    float r;
    float g;
    float b;
};

// A 24-entry colour map sampled from a piecewise-linear ramp through `stops` (ascending
// positions; before the first and after the last stop the ramp holds that stop's colour).
// The entries lie as the program's own maps do, entry i from i/24 to (i + 1)/24, and are
// chained: each entry ends on the colour the next one starts with, and the last entry is flat,
// so the palette bar's cells, which show the start colours, read as the same ramp.
ColourMap rampMap(std::initializer_list<RampStop> stops);

}  // namespace quorvel
