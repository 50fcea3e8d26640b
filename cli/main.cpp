#include "cli/render.h"
#include "files/atomicfile.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> gCancel{false};
std::atomic<int> gSignal{0};

// Ctrl+C, a kill or a closed terminal stop the render between rows, so the partial output is
// removed rather than left; the exit status then says which signal, as a shell expects. When no
// temporary file exists (while a pipe is read, say), or on a second signal, the program ends at
// once: nothing waits for a reader, a writer or a render to notice.
extern "C" void onInterrupt(int signal) {
    gSignal.store(signal);
    if (gCancel.exchange(true) || !quorvel::temporaryFilesOpen()) {
        ::_exit(128 + signal);
    }
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
    const int status = runCommandLine(args, stdout, stderr, gCancel);
    return gSignal.load() != 0 ? 128 + gSignal.load() : status;
}
