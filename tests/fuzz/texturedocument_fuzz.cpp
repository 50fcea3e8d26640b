// Any bytes given to the texture document reader: it must accept or refuse without crashing,
// and whatever record the bytes hold (accepted or not) must render without undefined
// behaviour, since the engine is given records from files.
#include "engine/pixel.h"
#include "engine/recordlayout.h"
#include "files/texturedocument.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    TextureParams record;
    (void)decodeTextureDocument({data, size}, record, "fuzz.qvl");

    if (size >= kRecordBytes) {
        decodeRecord(std::span<const uint8_t, kRecordBytes>(data, kRecordBytes), record);
        const Sampling sampling = Sampling::image(4, 3);
        std::vector<uint8_t> row(4 * 3);
        for (int j = 0; j < 3; ++j) {
            renderRow(record, sampling, j, row);
        }
    }
    return 0;
}
