// Runs a fuzz target without libFuzzer: over the files named on the command line and those in
// the folders named (a corpus), then over seeded random inputs, so that every build exercises
// the targets under ctest.
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
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i]))
            files.emplace_back(argv[i]);
        else
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                files.push_back(entry.path());
    }
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++inputs;
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
