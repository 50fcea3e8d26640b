// Any bytes given to the library reader: accepted or refused, never a crash; an accepted
// library must encode back to the same bytes apart from what follows each field's zero byte.
#include "files/libraryfile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    std::vector<LibraryFileEntry> entries;
    if (!decodeLibraryFile({data, size}, entries, "fuzz.qlb").ok()) {
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!encodeLibraryFile(entries, bytes, "fuzz.qlb").ok() || bytes.size() != size) {
        std::abort();
    }
    std::vector<LibraryFileEntry> again;
    if (!decodeLibraryFile(bytes, again, "again.qlb").ok() || again != entries) {
        std::abort();
    }
    return 0;
}
