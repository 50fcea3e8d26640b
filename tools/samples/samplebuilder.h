#pragma once

#include "engine/textureparams.h"
#include "tools/samples/samples.h"

#include <string>

namespace quorvel {

// Builds a sample from its material's defaults. Values that the command block shows are given
// as the integers it shows (turbulence in hundredths; scales and relief intensity in tenths) and
// stored as the nearest float that the command block shows as exactly that integer, so a sample
// opened in the program reads as the round numbers it was designed with.
class SampleBuilder {
public:
    SampleBuilder(MaterialType material, std::string file);

    SampleBuilder& detail(int octaves);
    SampleBuilder& turbulence(int hundredths);
    SampleBuilder& scale(int xTenths, int yTenths);
    SampleBuilder& colours(const ColourMap& map);
    // Gradient only: which of the x, y and z axes add to the value.
    SampleBuilder& gradientAxes(bool x, bool y, bool z);
    // Moves the visible window, in units of the whole image.
    SampleBuilder& offset(float x, float y);

    SampleBuilder& relief(ReliefType relief, int intensityTenths, int xTenths, int yTenths);
    // Waves and Ripples: periods per unit distance and phase in periods.
    SampleBuilder& waves(float frequency, float phase);
    // Colour channels as the lighting and reflection dialogs show them, 0 to 255.
    SampleBuilder& light(Vec3 direction, int r, int g, int b);
    SampleBuilder& reflection(int r, int g, int b, float brilliance);

    Sample build() const;

private:
    std::string mFile;
    TextureParams mRecord;
};

}  // namespace quorvel
