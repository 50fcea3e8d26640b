#pragma once

#include "files/imageencoder.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvel {

inline constexpr size_t kTargaHeaderBytes = 18;

// The 18-byte header of a run-length-encoded 24-bit Targa image of W x H pixels, bottom row
// first.
std::array<uint8_t, kTargaHeaderBytes> targaHeader(int width, int height) noexcept;

// Run-length encodes one row of blue, green, red pixels: run packets only (header
// 128 + n - 1 for n equal pixels, 1 to 128), and the last pixel always in a packet of its own.
// Appends the packets to `out`.
void encodeTargaRow(std::span<const uint8_t> bgr, std::vector<uint8_t>& out);

// Targa export: takes RGB rows bottom row first and stores them as BGR run packets.
class TargaEncoder final : public ImageEncoder {
public:
    TargaEncoder(AtomicFile& file, int width, int height);

    RowOrder order() const noexcept override { return RowOrder::BottomUp; }
    bool begin() override;
    bool acceptRow(int row, std::span<const uint8_t> rgb) override;

private:
    std::vector<uint8_t> mBgr;
    std::vector<uint8_t> mPackets;
};

}  // namespace quorvel
