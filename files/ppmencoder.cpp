#include "files/ppmencoder.h"

#include "files/atomicfile.h"

#include <string>

namespace quorvel {

bool PpmEncoder::begin() {
    const std::string header =
        "P6\n" + std::to_string(mWidth) + " " + std::to_string(mHeight) + "\n255\n";
    return mFile.write(header.data(), header.size());
}

bool PpmEncoder::acceptRow(int, std::span<const uint8_t> rgb) { return mFile.write(rgb); }

}  // namespace quorvel
