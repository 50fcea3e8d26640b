#pragma once

#include "engine/textureparams.h"

namespace quorvel {

// Everything one sample of the texture gives, for colour images and texture maps alike.
struct Sample {
    Colour colour;                  // the final colour, as evaluatePixel gives it
    Vec3 normal{0.0f, 0.0f, 1.0f};  // the relief's unit normal; x along the image's rows,
                                    // y down the image, z out of it
    float height = 0.0f;            // the relief's own height, in no particular unit
    bool hasRelief = false;         // reliefIntensity > 0 and a relief of 0 to 4
};

// One sample at normalised position (px, py), with the same sampling rule and the same colour
// bytes as evaluatePixel, seamless or not.
void evaluateSample(float px, float py, const TextureParams& record, Sample& sample) noexcept;

// The luminance of a colour, Rec. 709 weights on r, g, b limited to 0 to 1.
float luminance(const Colour& colour) noexcept;

}  // namespace quorvel
