#pragma once

#include "tests/files/testsupport.h"

#include <sys/wait.h>
#include <tuple>

namespace quorvel::testing {

// Runs the built program in `folder` with a HOME of its own, after `prefix` (a command that
// runs it, or nothing): its exit code, output and errors.
inline std::tuple<int, std::string, std::string>
run(const std::string& args, const std::string& folder, const std::string& prefix = "") {
    ScratchFolder capture;
    const std::string command = "cd " + folder + " && HOME=" + capture.path + " " + prefix +
                                QUORVEL_RENDER_PATH + " " + args + " >" + capture / "out";
    const int status = std::system((command + " 2>" + capture / "err").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes<std::string>(capture / "out"),
            readBytes<std::string>(capture / "err")};
}

}  // namespace quorvel::testing
