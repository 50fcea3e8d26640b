// Any bytes as a library, along quorvel-render's own path: read, each entry's texture found
// (at any stored path, or by name along the search path), its output named and rendered small.
// An accepted library encodes back to the same bytes apart from what follows each zero byte.
#include "files/libraryfile.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    const std::string out = fuzz::file("out"), in = fuzz::file("in.qlb");
    fuzz::run({"-q", "-t", "2", "-s", "3x2", "-l", in, "-d", out}, in, data, size);
    std::filesystem::remove_all(out);
    std::vector<LibraryFileEntry> entries, again;
    std::vector<uint8_t> bytes;
    if (decodeLibraryFile({data, size}, entries, in).ok() &&
        (!encodeLibraryFile(entries, bytes, in).ok() || bytes.size() != size ||
         !decodeLibraryFile(bytes, again, in).ok() || again != entries))
        std::abort();
    return 0;
}
