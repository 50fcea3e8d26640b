// Runs a fuzz target without libFuzzer: over the files in the folders named on the command line
// (its corpus), then over seeded random inputs, so that every build exercises the targets under
// ctest.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    std::mt19937 random(20261206);
    const size_t sizes[] = {0, 1, 2, 161, 162, 322, 482, 1121, 1122, 1123, 4096};
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(sizes[static_cast<size_t>(round) % std::size(sizes)]);
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(random());
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++inputs;
    }
    std::printf("%d inputs, no failure\n", inputs);
    return 0;
}
