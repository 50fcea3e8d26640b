#include "tools/spheretable/spheretable.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace quorvel {

namespace {

void appendUint16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// Byte by byte, so the file is little-endian whatever machine builds it.
void appendFloat(std::vector<uint8_t>& out, float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>((bits >> shift) & 0xFF));
    }
}

int firstColumn(int row) {
    const int last = kSphereGridSize - 1;
    for (int column = 0; column <= last; ++column) {
        const int x = last - column;
        if (x * x + row * row <= kSphereRadiusSquared) {
            return column;
        }
    }
    return kSphereGridSize;
}

void appendEntry(std::vector<uint8_t>& out, int x, int y) {
    const double radius = std::sqrt(static_cast<double>(kSphereRadiusSquared));
    const double t1 = -x / radius;
    const double t2 = -y / radius;
    const double t0 = 10.0 - std::sqrt(std::max(0.0, 1.0 - t1 * t1 - t2 * t2));
    appendFloat(out, static_cast<float>(t0));
    appendFloat(out, static_cast<float>(t1));
    appendFloat(out, static_cast<float>(t2));
    out.resize(out.size() + kSphereEntryBytes - 3 * sizeof(float), 0);
}

}  // namespace

std::vector<uint8_t> makeSphereTable() {
    std::vector<uint8_t> table;
    table.reserve(kSphereTableBytes);
    const int last = kSphereGridSize - 1;
    for (int row = last; row >= 0; --row) {
        const int first = firstColumn(row);
        appendUint16(table, static_cast<uint16_t>(first));
        for (int column = first; column <= last; ++column) {
            appendEntry(table, last - column, row);
        }
    }
    return table;
}

}  // namespace quorvel
