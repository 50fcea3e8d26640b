#include "tools/samples/colourramp.h"

#include "engine/defaults.h"

#include <vector>

namespace quorvel {

namespace {

Colour colourAt(const std::vector<RampStop>& stops, float position) {
    if (stops.empty()) {
        return {};
    }
    const RampStop* below = &stops.front();
    if (position <= below->position) {
        return Colour{below->r, below->g, below->b, 0.0f};
    }
    for (const RampStop& above : stops) {
        if (position <= above.position) {
            const float span = above.position - below->position;
            const float t = span > 0.0f ? (position - below->position) / span : 1.0f;
            return Colour{below->r + (above.r - below->r) * t, below->g + (above.g - below->g) * t,
                          below->b + (above.b - below->b) * t, 0.0f};
        }
        below = &above;
    }
    return Colour{below->r, below->g, below->b, 0.0f};
}

}  // namespace

ColourMap rampMap(std::initializer_list<RampStop> stops) {
    const std::vector<RampStop> ordered(stops);
    ColourMap map;
    map.count = kColourMapEntries;
    for (int i = 0; i < kColourMapEntries; ++i) {
        ColourMapEntry& e = map.entries[static_cast<size_t>(i)];
        e.start = static_cast<float>(i) * kColourStep;
        e.end = static_cast<float>(i + 1) * kColourStep;
        e.startColour = colourAt(ordered, e.start);
    }
    for (int i = 0; i + 1 < kColourMapEntries; ++i) {
        map.entries[static_cast<size_t>(i)].endColour =
            map.entries[static_cast<size_t>(i + 1)].startColour;
    }
    ColourMapEntry& last = map.entries[kColourMapEntries - 1];
    last.endColour = last.startColour;
    return map;
}

}  // namespace quorvel
