#pragma once

#include "engine/pixel.h"
#include "engine/sample.h"
#include "engine/textureparams.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvel {

// The images a texture can be written as: its colours, and the normal and height maps that 3D
// programs take for its relief.
enum class MapKind { Colour, Normal, Height };

struct MapSettings {
    // Normal maps follow the OpenGL convention (+Y up the image) unless this asks for the
    // DirectX one (+Y down).
    bool normalYDown = false;
    // Without a relief a normal map is flat (128, 128, 255); with this it follows the gradient
    // of the colour's luminance instead, `strength` times as steep.
    bool normalFromColour = false;
    float strength = 1.0f;
};

// "colour", "normal", "height": the names the command line takes.
std::string_view mapName(MapKind kind) noexcept;

// The heights a height map was normalised over: `low` became its lowest value, `high` its
// highest.
struct HeightRange {
    double low = 0.0;
    double high = 0.0;
};

// How a map row is laid out in bytes.
enum class MapPixels {
    Rgb8,     // red, green, blue bytes: normal maps, and height maps as grey for 8-bit formats
    Grey16,   // one 16-bit grey value per pixel, big-endian as PNG stores it
    Heights,  // one float per pixel in the machine's order: the raw heights, never written out
};

inline int bytesPerPixel(MapPixels pixels) noexcept {
    switch (pixels) {
    case MapPixels::Rgb8: return 3;
    case MapPixels::Grey16: return 2;
    case MapPixels::Heights: return 4;
    }
    return 3;
}

// What a map render makes of each sample. Colour maps are not rendered this way: they take the
// ordinary colour rows, whose bytes they are.
struct MapRender {
    MapKind kind = MapKind::Normal;
    MapSettings settings;
    MapPixels pixels = MapPixels::Rgb8;
    // Height maps: the heights that become the lowest and the highest value. The range is the
    // image's own (heightOf over every pixel), so that each map uses its full range.
    double low = 0.0;
    double high = 0.0;
};

// The height a height map shows for a sample: the relief's own height where it has one, else
// the colour's luminance (0 to 1).
float heightOf(const Sample& sample) noexcept;

// The normal a normal map shows at pixel (i, j): the relief's normal; without a relief flat
// (0, 0, 1), or with normalFromColour the normal of a surface whose height is the luminance,
// from central differences over the neighbouring samples (which lie outside the image at its
// edges: the texture goes on there). x along the rows, y down the image, z out of it; unit
// length, never NaN.
Vec3 mapNormal(const TextureParams& record, const Sampling& sampling, const MapSettings& settings,
               int i, int j) noexcept;

// A unit normal as bytes, each component c as floor((c x 0.5 + 0.5) x 255 + 0.5), so (0, 0, 1)
// gives (128, 128, 255). Green is the component up the image (OpenGL) unless `yDown`.
void encodeNormal(const Vec3& normal, bool yDown, uint8_t* rgb) noexcept;

// A height as a fraction 0 to 1 of the range [low, high]. A range that is empty (a flat image)
// gives 0.5, mid-grey; a height that is not a number gives 0.
double heightFraction(float height, double low, double high) noexcept;

// Renders pixels [x0, x1) of image row `row` of the map into `out`, bytesPerPixel(map.pixels)
// bytes a pixel, as many whole pixels as it holds; like renderRow, rows and columns outside the
// image are left as they are. initNoise must have run.
void renderMapRow(const TextureParams& record, const Sampling& sampling, const MapRender& map,
                  int row, int x0, int x1, std::span<uint8_t> out) noexcept;

}  // namespace quorvel
