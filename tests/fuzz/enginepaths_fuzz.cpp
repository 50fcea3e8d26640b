// Any bytes as a record rendered on every engine path the processor has: each vector path must
// give exactly the scalar path's bytes, or the target aborts naming the path. Byte 0 chooses the
// sampling (bit 7: the thumbnail, else an image 1 to 64 pixels wide); the bytes after it replace
// the stored record, then its colour map, of the Marble defaults, as far as they reach.
#include "engine/defaults.h"
#include "engine/enginepath.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/recordlayout.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace quorvel;

TextureParams recordOf(const uint8_t* data, size_t size) {
    std::array<uint8_t, kRecordBytes + kColourMapBytes> bytes{};
    const TextureParams defaults = newTexture();
    encodeRecord(defaults, std::span(bytes).first<kRecordBytes>());
    encodeColourMap(defaults.colourMap, std::span(bytes).last<kColourMapBytes>());
    std::copy_n(data, std::min(size, bytes.size()), bytes.begin());
    TextureParams record;
    decodeRecord(std::span(bytes).first<kRecordBytes>(), record);
    decodeColourMap(std::span(bytes).last<kColourMapBytes>(), record.colourMap);
    return record;
}

std::vector<uint8_t> rows(const TextureParams& record, const Sampling& s, EnginePath path) {
    const size_t width = 3 * static_cast<size_t>(s.width());
    std::vector<uint8_t> rgb(3 * width);
    const RowRenderer renderer(record, s, path);
    const int sampled[] = {0, s.height() / 2, s.height() - 1};
    for (size_t k = 0; k < 3; ++k) {
        renderer.render(sampled[k], 0, s.width(), std::span(rgb).subspan(k * width, width));
    }
    return rgb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    initNoise();
    const uint8_t choice = size > 0 ? data[0] : 0;
    const Sampling sampling =
        choice & 0x80 ? Sampling::thumbnail() : Sampling::image(1 + (choice & 63), 3);
    const TextureParams record = size > 1 ? recordOf(data + 1, size - 1) : newTexture();
    const std::vector<uint8_t> scalar = rows(record, sampling, EnginePath::Scalar);
    for (EnginePath path : {EnginePath::Avx2, EnginePath::Avx512}) {
        if (engineSupports(path) && rows(record, sampling, path) != scalar) {
            std::fprintf(stderr, "the %s path differs from the scalar path\n",
                         enginePathName(path).data());
            std::abort();
        }
    }
    return 0;
}
