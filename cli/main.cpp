#include "cli/arguments.h"
#include "cli/render.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

std::atomic<bool> gCancel{false};
std::atomic<int> gSignal{0};

// Ctrl+C, a kill or a closed terminal stop the render between rows, so the partial output is
// removed rather than left; the exit status then says which signal, as a shell expects.
extern "C" void onInterrupt(int signal) {
    gSignal.store(signal);
    gCancel.store(true);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvel::cli;
    static_assert(std::atomic<bool>::is_always_lock_free);
    static_assert(std::atomic<int>::is_always_lock_free);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signal, onInterrupt);
    // Over a file-size limit, let the write fail with a message instead of killing the process
    // before the partial output can be removed.
    std::signal(SIGXFSZ, SIG_IGN);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedArguments parsed = parseArguments(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "quorvel-render: error: %s (see --help)\n", parsed.error.c_str());
        return kExitUsage;
    }
    if (parsed.arguments.help) {
        std::fputs(usageText().c_str(), stdout);
        return kExitSuccess;
    }
    if (parsed.arguments.version) {
        std::puts("quorvel-render " QUORVEL_VERSION);
        return kExitSuccess;
    }
    const int status = runRender(parsed.arguments, stderr, gCancel);
    return gSignal.load() != 0 ? 128 + gSignal.load() : status;
}
