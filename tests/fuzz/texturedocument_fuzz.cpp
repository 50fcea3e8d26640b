// Any bytes as a texture document, along quorvel-render's own path: read with every check,
// then, when accepted, rendered small on two threads and written in every format.
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using quorvel::fuzz::file;
    for (const char* format : {"qvl", "tpr", "tga", "bmp", "jpg", "png", "ppm"})
        quorvel::fuzz::run(
            {file("in.qvl"), "-q", "-t", "2", "-s", "7x5", "-o", file("out.") + format},
            file("in.qvl"), data, size);
    return 0;
}
