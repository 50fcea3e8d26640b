// Any bytes as a library, along quorvel-render's own path: read, each entry's texture found
// (any stored path, or a name along the search path), named and rendered small. Output names
// must stay portable names inside the output folder, and an accepted library must encode back
// to the same bytes apart from what follows each field's zero byte.
#include "cli/library.h"
#include "files/filenames.h"
#include "files/libraryfile.h"
#include "tests/fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    const std::string out = fuzz::folder() + "/out";
    fuzz::runProgram(
        {"-q", "-t", "2", "-s", "3x2", "-l", fuzz::inputFile(data, size, "in.qlb"), "-d", out});
    std::filesystem::remove_all(out);
    std::vector<LibraryFileEntry> entries;
    if (!decodeLibraryFile({data, size}, entries, "fuzz.qlb").ok()) {
        return 0;
    }
    std::vector<std::string> names;
    for (const LibraryFileEntry& e : entries)
        names.push_back(e.name);
    for (const std::string& name : cli::outputNames(names, "png")) {
        if (name.find('/') != name.npos || name[0] == '.' || name[0] == '-' ||
            portableFileName(name) != name)
            std::abort();
    }
    std::vector<uint8_t> bytes;
    std::vector<LibraryFileEntry> again;
    if (!encodeLibraryFile(entries, bytes, "fuzz.qlb").ok() || bytes.size() != size ||
        !decodeLibraryFile(bytes, again, "again.qlb").ok() || again != entries) {
        std::abort();
    }
    return 0;
}
