#pragma once

#include "engine/textureparams.h"

#include <QImage>

#include <cstdint>
#include <span>

namespace quorvel {

// The lit sphere is 75 pixels wide and 75 rows high (rows centreY - 37 to centreY + 37).
inline constexpr int kSpherePreviewSize = 75;

// Draws the sphere of the sphere table (see tools/spheretable/spheretable.h for its layout) lit
// with the record's light direction and colour, reflection colour and brilliance onto `image`,
// its rows starting at column `left` and centred on row `centreY`; pixels outside the image
// are skipped. Only every second row and column of the table is shaded, each point four times
// mirrored. Points the walk did not reach keep the grey 0xC0C0C0. A short or corrupt table
// stops the walk where it would leave the table (a first column beyond 76 counts as corrupt),
// so an empty or garbage table draws rows of grey at most.
void drawSpherePreview(std::span<const uint8_t> table, const TextureParams& record, QImage& image,
                       int left, int centreY);

// The sphere alone on a 75 x 75 grey picture (Format_RGB32).
QImage renderSpherePreview(std::span<const uint8_t> table, const TextureParams& record);

}  // namespace quorvel
