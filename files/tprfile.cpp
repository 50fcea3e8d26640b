#include "files/tprfile.h"

#include "files/atomicfile.h"

#include <algorithm>

namespace quorvel {

TprBytes encodeTpr(const TextureParams& record) noexcept {
    std::array<uint8_t, kRecordBytes> full{};
    encodeRecord(record, full);
    TprBytes bytes{};
    bytes[0] = full[0];
    std::copy(full.begin() + 2, full.begin() + 64, bytes.begin() + 1);
    const std::span<uint8_t, kTprBytes> all(bytes);
    encodeColourMap(record.colourMap, all.last<kColourMapBytes>());
    return bytes;
}

FileStatus writeTprFile(const std::string& path, const TextureParams& record) {
    const auto bytes = encodeTpr(record);
    return writeWholeFile(path, bytes);
}

}  // namespace quorvel
