#include "engine/sample.h"

#include "engine/materials.h"
#include "engine/relief.h"

#include <algorithm>

namespace quorvel {

namespace {

bool runsRelief(int8_t relief) noexcept { return relief >= 0 && relief < kReliefCount; }

}  // namespace

void evaluateSample(float px, float py, const TextureParams& record, Sample& sample) noexcept {
    // The same steps, in the same order, as evaluatePixel, so the colour bytes agree.
    sample = Sample{};
    const float ox = record.offset.x + px;
    const float oy = record.offset.y + py;
    evaluateMaterial(Vec3{ox * record.scale.x, oy * record.scale.y, 0.0f}, record, sample.colour);
    if (record.reliefIntensity > 0.0f) {
        const Vec3 p{ox * record.reliefScale.x, oy * record.reliefScale.y, 0.0f};
        applyRelief(p, record, sample.normal);
        sample.hasRelief = runsRelief(record.relief);
        if (sample.hasRelief) {
            sample.height = reliefHeight(p, record);
        }
        shade(p, record, sample.colour, sample.normal);
    }
}

float luminance(const Colour& colour) noexcept {
    const auto limited = [](float c) { return c > 0.0f ? std::min(c, 1.0f) : 0.0f; };
    return 0.2126f * limited(colour.r) + 0.7152f * limited(colour.g) +
           0.0722f * limited(colour.b);
}

}  // namespace quorvel
