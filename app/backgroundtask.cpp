#include "app/backgroundtask.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <thread>

namespace {
constexpr int kShowAfterMilliseconds = 400;
constexpr int kPollMilliseconds = 30;
constexpr int kRange = 1000;
}  // namespace

bool runInBackground(QWidget* parent, const QString& label, const BackgroundWork& work) {
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::atomic<int> permille{0};
    const auto progress = [&permille](int done, int total) {
        if (total > 0)
            permille.store(static_cast<int>(int64_t{done} * kRange / total));
    };

    QProgressDialog dialog(label, QObject::tr("Cancel"), 0, kRange, parent);
    dialog.setWindowTitle(QStringLiteral("Quorvel"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(kShowAfterMilliseconds);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    QObject::connect(&dialog, &QProgressDialog::canceled, [&cancel] { cancel.store(true); });

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (finished.load()) {
            loop.quit();
            return;
        }
        if (!dialog.wasCanceled())
            dialog.setValue(permille.load());
    });

    std::thread worker([&] {
        work(cancel, progress);
        finished.store(true);
    });
    poll.start(kPollMilliseconds);
    loop.exec();
    worker.join();
    return !cancel.load();
}
