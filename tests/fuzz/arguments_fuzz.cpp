// Any command line, its arguments separated by zero bytes: parsed or refused, never a crash,
// and whatever is accepted lies within the ranges the parser promises.
#include "cli/arguments.h"
#include "files/imageexport.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    const std::vector<std::string_view> args(words.begin(), words.end());
    const cli::ParsedArguments parsed = cli::parseArguments(args);
    const cli::Arguments& a = parsed.arguments;
    const auto region = a.region.value_or(cli::ImageRegion{0, 0, 1, 1});
    if (parsed.error.empty() &&
        ((a.size && !isValidImageSize(a.size->width, a.size->height)) || a.threads < 0 ||
         a.threads > 256 || (a.entry && (*a.entry < 1 || *a.entry > 32767)) ||
         (a.material && (*a.material < 0 || *a.material > 13)) ||
         !isValidImageSize(region.x + region.width, region.y + region.height)))
        std::abort();
    return 0;
}
