#pragma once

#include <cstdio>

namespace quorvel::cli {

// A one-line progress bar redrawn in place on a terminal; silent when disabled.
class ProgressBar {
public:
    ProgressBar(std::FILE* stream, bool enabled) noexcept : mStream(stream), mEnabled(enabled) {}
    ~ProgressBar() { clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int done, int total) noexcept;
    // Removes the bar from the line.
    void clear() noexcept;

private:
    std::FILE* mStream;
    bool mEnabled;
    int mShownPercent = -1;
};

}  // namespace quorvel::cli
