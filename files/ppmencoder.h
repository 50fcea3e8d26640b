#pragma once

#include "files/imageencoder.h"

namespace quorvel {

// Binary PPM (P6): a text header, then 8-bit RGB rows, top row first.
class PpmEncoder final : public ImageEncoder {
public:
    using ImageEncoder::ImageEncoder;

    RowOrder order() const noexcept override { return RowOrder::TopDown; }
    bool begin() override;
    bool acceptRow(int row, std::span<const uint8_t> rgb) override;
};

}  // namespace quorvel
