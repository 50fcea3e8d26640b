#include "tools/samples/samplebuilder.h"

#include "engine/defaults.h"
#include "engine/numeric.h"

#include <cmath>
#include <limits>
#include <utility>

namespace quorvel {

namespace {

constexpr int16_t kSampleWidth = 320;
constexpr int16_t kSampleHeight = 240;
constexpr int16_t kQuarterScreenFormat = 1;  // the "320x240" preset of the Image Format dialog

// The command block shows a record value v as trunc(v x factor), with the product in double
// precision; the plain quotient can fall a hair short and show one less.
float shownAs(int shown, double factor) {
    float value = static_cast<float>(static_cast<double>(shown) / factor);
    while (truncToInt(static_cast<double>(value) * factor) < shown) {
        value = std::nextafter(value, std::numeric_limits<float>::infinity());
    }
    return value;
}

float hundredths(int shown) { return shownAs(shown, 100.0); }
float tenths(int shown) { return shownAs(shown, 10.0); }

// The dialogs store a colour byte as byte x 1/255 in single precision.
float channel(int byte) { return static_cast<float>(byte) * (1.0f / 255.0f); }

}  // namespace

SampleBuilder::SampleBuilder(MaterialType material, std::string file)
    : mFile(std::move(file)), mRecord(materialDefaults(static_cast<int>(material))) {
    mRecord.imageWidth = kSampleWidth;
    mRecord.imageHeight = kSampleHeight;
    mRecord.imageFormat = kQuarterScreenFormat;
}

SampleBuilder& SampleBuilder::detail(int octaves) {
    mRecord.octaves = static_cast<int16_t>(octaves);
    return *this;
}

SampleBuilder& SampleBuilder::turbulence(int shown) {
    mRecord.turbulence = hundredths(shown);
    return *this;
}

SampleBuilder& SampleBuilder::scale(int xTenths, int yTenths) {
    mRecord.scale.x = tenths(xTenths);
    mRecord.scale.y = tenths(yTenths);
    return *this;
}

SampleBuilder& SampleBuilder::colours(const ColourMap& map) {
    mRecord.colourMap = map;
    return *this;
}

SampleBuilder& SampleBuilder::gradientAxes(bool x, bool y, bool z) {
    mRecord.gradientVector = Vec3{x ? 0.5f : 0.0f, y ? 0.5f : 0.0f, z ? 0.5f : 0.0f};
    return *this;
}

SampleBuilder& SampleBuilder::offset(float x, float y) {
    mRecord.offset.x = x;
    mRecord.offset.y = y;
    return *this;
}

SampleBuilder& SampleBuilder::relief(ReliefType relief, int intensityTenths, int xTenths,
                                     int yTenths) {
    mRecord.relief = static_cast<int8_t>(relief);
    mRecord.reliefIntensity = tenths(intensityTenths);
    mRecord.reliefScale.x = tenths(xTenths);
    mRecord.reliefScale.y = tenths(yTenths);
    return *this;
}

SampleBuilder& SampleBuilder::waves(float frequency, float phase) {
    mRecord.reliefFrequency = frequency;
    mRecord.reliefPhase = phase;
    return *this;
}

SampleBuilder& SampleBuilder::light(Vec3 direction, int r, int g, int b) {
    mRecord.lightDirection = direction;
    mRecord.lightColour = Colour{channel(r), channel(g), channel(b), 0.0f};
    return *this;
}

SampleBuilder& SampleBuilder::reflection(int r, int g, int b, float brilliance) {
    mRecord.reflectionColour = Colour{channel(r), channel(g), channel(b), 0.0f};
    mRecord.brilliance = Vec3{brilliance, brilliance, brilliance};
    return *this;
}

Sample SampleBuilder::build() const { return Sample{mFile, mRecord}; }

}  // namespace quorvel
