#include "files/atomicfile.h"
#include "tools/spheretable/spheretable.h"

#include <cstdio>

// quorvel-spheretable OUT: writes the light direction picker's sphere data to OUT.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-spheretable OUT\n");
        return 2;
    }
    const std::vector<uint8_t> table = quorvel::makeSphereTable();
    if (table.size() != quorvel::kSphereTableBytes) {
        std::fprintf(stderr, "quorvel-spheretable: error: the table has %zu bytes instead of %zu\n",
                     table.size(), quorvel::kSphereTableBytes);
        return 1;
    }
    const quorvel::FileStatus status = quorvel::writeWholeFile(argv[1], table);
    if (!status.ok()) {
        std::fprintf(stderr, "quorvel-spheretable: error: %s\n", status.message.c_str());
        return 1;
    }
    return 0;
}
