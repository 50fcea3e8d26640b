#include "engine/maps.h"

#include "engine/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvel {

namespace {

// A colour's luminance taken as a height, 1 standing for 1/32 of the unit square the image
// shows: at strength 1 the sides of the default marble's veins lean by 20 to 45 degrees. The
// slope is taken over the texture's own coordinates rather than pixels, so a larger image of
// the same texture gives the same normals, only more of them.
constexpr double kColourDepth = 1.0 / 32.0;

Vec3 unitOrFlat(double x, double y, double z) noexcept {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return Vec3{0.0f, 0.0f, 1.0f};
    }
    return Vec3{static_cast<float>(x / length), static_cast<float>(y / length),
                static_cast<float>(z / length)};
}

double luminanceAt(const TextureParams& record, float px, float py) noexcept {
    Sample sample;
    evaluateSample(px, py, record, sample);
    return luminance(sample.colour);
}

// The normal of the surface whose height is the luminance, by central differences.
Vec3 colourNormal(const TextureParams& record, const Sampling& sampling, float strength, int i,
                  int j) noexcept {
    const float left = sampling.x(i - 1), right = sampling.x(i + 1);
    const float up = sampling.y(j - 1), down = sampling.y(j + 1);
    const float px = sampling.x(i), py = sampling.y(j);
    const double dx = (luminanceAt(record, right, py) - luminanceAt(record, left, py)) /
                      (static_cast<double>(right) - left);
    const double dy = (luminanceAt(record, px, down) - luminanceAt(record, px, up)) /
                      (static_cast<double>(down) - up);
    const double k = static_cast<double>(strength) * kColourDepth;
    return unitOrFlat(-k * dx, -k * dy, 1.0);
}

uint8_t normalByte(float c) noexcept {
    double v = std::floor((static_cast<double>(c) * 0.5 + 0.5) * 255.0 + 0.5);
    if (!(v > 0.0)) {
        return 0;
    }
    return v > 255.0 ? 255 : static_cast<uint8_t>(v);
}

void putHeight(float height, const MapRender& map, uint8_t* out) noexcept {
    switch (map.pixels) {
    case MapPixels::Heights: std::memcpy(out, &height, sizeof height); return;
    case MapPixels::Grey16: {
        const auto v =
            static_cast<uint16_t>(std::lround(heightFraction(height, map.low, map.high) * 65535.0));
        out[0] = static_cast<uint8_t>(v >> 8);
        out[1] = static_cast<uint8_t>(v & 0xFF);
        return;
    }
    case MapPixels::Rgb8: {
        const auto v =
            static_cast<uint8_t>(std::lround(heightFraction(height, map.low, map.high) * 255.0));
        out[0] = out[1] = out[2] = v;
        return;
    }
    }
}

}  // namespace

std::string_view mapName(MapKind kind) noexcept {
    switch (kind) {
    case MapKind::Colour: return "colour";
    case MapKind::Normal: return "normal";
    case MapKind::Height: return "height";
    }
    return "colour";
}

float heightOf(const Sample& sample) noexcept {
    return sample.hasRelief ? sample.height : luminance(sample.colour);
}

Vec3 mapNormal(const TextureParams& record, const Sampling& sampling, const MapSettings& settings,
               int i, int j) noexcept {
    Sample sample;
    evaluateSample(sampling.x(i), sampling.y(j), record, sample);
    if (sample.hasRelief) {
        const Vec3& n = sample.normal;
        return unitOrFlat(n.x, n.y, n.z);
    }
    if (settings.normalFromColour) {
        return colourNormal(record, sampling, settings.strength, i, j);
    }
    return Vec3{0.0f, 0.0f, 1.0f};
}

void encodeNormal(const Vec3& normal, bool yDown, uint8_t* rgb) noexcept {
    // The engine's y points down the image; OpenGL's green points up it.
    rgb[0] = normalByte(normal.x);
    rgb[1] = normalByte(yDown ? normal.y : -normal.y);
    rgb[2] = normalByte(normal.z);
}

double heightFraction(float height, double low, double high) noexcept {
    if (!(high > low)) {
        return 0.5;
    }
    const double t = (static_cast<double>(height) - low) / (high - low);
    if (!(t > 0.0)) {
        return 0.0;
    }
    return t > 1.0 ? 1.0 : t;
}

void renderMapRow(const TextureParams& record, const Sampling& sampling, const MapRender& map,
                  int row, int x0, int x1, std::span<uint8_t> out) noexcept {
    if (row < 0 || row >= sampling.height()) {
        return;
    }
    const int size = bytesPerPixel(map.pixels);
    const int first = x0 < 0 ? 0 : x0;
    const int64_t room = static_cast<int64_t>(x0) + static_cast<int64_t>(out.size() / size);
    const int last = static_cast<int>(std::min<int64_t>({x1, sampling.width(), room}));
    uint8_t* pixel = out.data() + size * (static_cast<int64_t>(first) - x0);
    for (int i = first; i < last; ++i, pixel += size) {
        switch (map.kind) {
        case MapKind::Height: {
            Sample sample;
            evaluateSample(sampling.x(i), sampling.y(row), record, sample);
            putHeight(heightOf(sample), map, pixel);
            break;
        }
        case MapKind::Normal:
            encodeNormal(mapNormal(record, sampling, map.settings, i, row),
                         map.settings.normalYDown, pixel);
            break;
        case MapKind::Colour: {
            // Renders take colour rows from the row renderer; this serves any other caller.
            Sample sample;
            evaluateSample(sampling.x(i), sampling.y(row), record, sample);
            const uint8_t rgb[3] = {channelByte(sample.colour.r), channelByte(sample.colour.g),
                                    channelByte(sample.colour.b)};
            std::memcpy(pixel, rgb, static_cast<size_t>(std::min(size, 3)));
            break;
        }
        }
    }
}

}  // namespace quorvel
