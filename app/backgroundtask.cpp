#include "app/backgroundtask.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

#include <thread>

namespace {

constexpr int kShowAfterMilliseconds = 400;
constexpr int kPollMilliseconds = 30;
constexpr int kRange = 1000;

int running = 0;

// Drops user input aimed anywhere but the progress dialog.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(const QWidget* dialog) : mDialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close: break;
        default: return false;
        }
        if (belongsToDialog(watched))
            return false;
        // A close event arrives accepted: it must be refused, not just swallowed.
        event->ignore();
        return true;
    }

private:
    // A click reaches the dialog's window before its button, and Escape reaches the dialog's
    // own shortcut object: both are the dialog's input.
    bool belongsToDialog(const QObject* watched) const {
        if (const auto* window = qobject_cast<const QWindow*>(watched))
            return window == mDialog->windowHandle();
        for (const QObject* owner = watched; owner; owner = owner->parent()) {
            if (owner == mDialog)
                return true;
        }
        return false;
    }

    const QWidget* mDialog;
};

}  // namespace

bool isBackgroundWorkRunning() noexcept { return running > 0; }

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

    InputBlocker blocker(&dialog);
    QCoreApplication::instance()->installEventFilter(&blocker);
    ++running;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (finished.load()) {
            loop.quit();
            return;
        }
        if (dialog.wasCanceled())
            cancel.store(true);
        else
            dialog.setValue(permille.load());
    });

    std::thread worker([&] {
        work(cancel, progress);
        finished.store(true);
    });
    poll.start(kPollMilliseconds);
    loop.exec();
    worker.join();
    --running;
    QCoreApplication::instance()->removeEventFilter(&blocker);
    return !cancel.load();
}
