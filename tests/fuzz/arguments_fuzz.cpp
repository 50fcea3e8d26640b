// Any command line, its arguments separated by zero bytes: parsed or refused, never a crash.
#include "cli/arguments.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i)
        data[i] ? words.back().push_back(static_cast<char>(data[i])) : void(words.emplace_back());
    (void)quorvel::cli::parseArguments(std::vector<std::string_view>(words.begin(), words.end()));
    return 0;
}
