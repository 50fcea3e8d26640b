#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// The picture shown while the program starts: 540 x 336 pixels of the program's own textures
// under its name. It goes away once 1.5 seconds of event handling have passed or at the first
// key or mouse button press anywhere in the program; that press is still handled as usual.
// Nothing ever waits for it.
class CSplashWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 336;
    static constexpr int kShowMilliseconds = 1500;

    // Whether start-up shows the splash at all (not with -Embedding or -Automation).
    static void enableSplash(bool wanted) noexcept;
    // Shows the splash centred over `owner`, or on the screen while `owner` is hidden; nothing
    // when it is not wanted or already shown. `owner` deletes it with itself at the latest.
    static void showSplash(QWidget* owner);
    // The splash on screen, or null.
    static CSplashWindow* current() noexcept;
    static void hideSplash();
    // The splash picture, made once per process; the noise tables must have been built.
    static QImage picture();

    ~CSplashWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    CSplashWindow(const QImage& picture, QWidget* owner);

    QPixmap mPicture;
};
