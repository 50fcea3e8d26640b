#include "cli/progressbar.h"

namespace quorvel::cli {

namespace {
constexpr int kBarWidth = 40;
}

void ProgressBar::update(int done, int total) noexcept {
    if (!mEnabled || total <= 0) {
        return;
    }
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
    if (percent == mShownPercent) {
        return;
    }
    mShownPercent = percent;
    char bar[kBarWidth + 1];
    const int filled = percent * kBarWidth / 100;
    for (int i = 0; i < kBarWidth; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[kBarWidth] = '\0';
    std::fprintf(mStream, "\rquorvel-render: [%s] %3d%%", bar, percent);
    std::fflush(mStream);
}

void ProgressBar::clear() noexcept {
    if (mEnabled && mShownPercent >= 0) {
        std::fprintf(mStream, "\r%*s\r", kBarWidth + 22, "");
        std::fflush(mStream);
        mShownPercent = -1;
    }
}

}  // namespace quorvel::cli
