#pragma once

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

// Long work (export, printing) runs on its own thread while the interface stays live: a
// progress dialog with Cancel appears when the work takes more than a moment. The work gets a
// cancel flag to check and a progress callback (done, total) that it may call from any thread.
using BackgroundWork = std::function<void(const std::atomic<bool>& cancel,
                                          const std::function<void(int, int)>& progress)>;

// Runs `work` to its end and returns true unless the user cancelled. The calling thread keeps
// handling events meanwhile (windows repaint, renders go on), but user input other than to the
// progress dialog is dropped for the whole run, also before the dialog appears, so no window or
// document can be closed under the work.
bool runInBackground(QWidget* parent, const QString& label, const BackgroundWork& work);

// Whether background work is running; closes wait until it is done.
bool isBackgroundWorkRunning() noexcept;
