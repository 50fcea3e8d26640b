#include "panels/spherepreview.h"

#include "engine/numeric.h"
#include "engine/relief.h"

#include <array>
#include <bit>

namespace quorvel {

namespace {

constexpr int kGrid = 76;
constexpr size_t kEntryBytes = 53;
constexpr size_t kBufferPixels = 100;
constexpr QRgb kGrey = 0xFFC0C0C0;
constexpr float kSphereDepth = 10.0f;
constexpr float kMaterialGrey = 0.75f;

using RowBuffer = std::array<QRgb, kBufferPixels>;

float floatAt(std::span<const uint8_t> bytes, size_t offset) {
    uint32_t bits = 0;
    for (size_t i = 0; i < sizeof(float); ++i) {
        bits |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return std::bit_cast<float>(bits);
}

// The sphere point at depth t0 with offsets (t1, t2), lit as the renderer lights a relief:
// image x grows to the right, image y downward and the normal (0, 0, 1) faces the viewer.
QRgb shadePoint(const TextureParams& record, float t0, float t1, float t2) {
    const Vec3 normal{t1, t2, kSphereDepth - t0};
    const Vec3 position{t1, t2, -t0};
    Colour colour{kMaterialGrey, kMaterialGrey, kMaterialGrey, 0.0f};
    shade(position, record, colour, normal);
    return qRgb(channelByte(colour.r), channelByte(colour.g), channelByte(colour.b));
}

void shadeEntry(const TextureParams& record, std::span<const uint8_t> entry, int column,
                RowBuffer& upper, RowBuffer& lower) {
    const float t0 = floatAt(entry, 0);
    const float t1 = floatAt(entry, 4);
    const float t2 = floatAt(entry, 8);
    const auto near = static_cast<size_t>(column / 2);
    const auto far = static_cast<size_t>(kGrid - 1 - column / 2);
    upper[near] = shadePoint(record, t0, t1, t2);
    upper[far] = shadePoint(record, t0, -t1, t2);
    lower[far] = shadePoint(record, t0, -t1, -t2);
    lower[near] = shadePoint(record, t0, t1, -t2);
}

void copyRow(const RowBuffer& buffer, QImage& image, int left, int y) {
    if (y < 0 || y >= image.height()) {
        return;
    }
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int i = 0; i < kSpherePreviewSize; ++i) {
        const int x = left + i;
        if (x >= 0 && x < image.width()) {
            line[x] = buffer[static_cast<size_t>(i)];
        }
    }
}

}  // namespace

void drawSpherePreview(std::span<const uint8_t> table, const TextureParams& record, QImage& image,
                       int left, int centreY) {
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    RowBuffer upper;
    RowBuffer lower;
    upper.fill(kGrey);
    lower.fill(kGrey);
    size_t offset = 0;
    for (int row = kGrid - 1; row >= 0; --row) {
        if (table.size() - offset < 2) {
            return;
        }
        const int first = table[offset] | (table[offset + 1] << 8);
        offset += 2;
        if (first > kGrid) {
            return;
        }
        const size_t entries = static_cast<size_t>(kGrid - first);
        if (entries * kEntryBytes > table.size() - offset) {
            return;
        }
        if (row % 2 == 0) {
            for (int column = first; column < kGrid; ++column) {
                if (column % 2 == 0) {
                    const size_t at = offset + static_cast<size_t>(column - first) * kEntryBytes;
                    shadeEntry(record, table.subspan(at, kEntryBytes), column, upper, lower);
                }
            }
            copyRow(upper, image, left, centreY - row / 2);
            copyRow(lower, image, left, centreY + row / 2);
        }
        offset += entries * kEntryBytes;
    }
}

QImage renderSpherePreview(std::span<const uint8_t> table, const TextureParams& record) {
    QImage image(kSpherePreviewSize, kSpherePreviewSize, QImage::Format_RGB32);
    image.fill(kGrey);
    drawSpherePreview(table, record, image, 0, kSpherePreviewSize / 2);
    return image;
}

}  // namespace quorvel
