#include "app/splashwindow.h"

#include "engine/defaults.h"
#include "engine/renderer.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace {

bool gSplashWanted = true;
QPointer<CSplashWindow> gCurrent;

// Copies finished rows into an image of the sampling's size.
class ImageSink : public quorvel::RowSink {
public:
    explicit ImageSink(QImage& image) : mImage(image) {}

    bool acceptRow(int row, std::span<const uint8_t> rgb) override {
        auto* line = reinterpret_cast<QRgb*>(mImage.scanLine(row));
        const int width = std::min(mImage.width(), static_cast<int>(rgb.size() / 3));
        for (int x = 0; x < width; ++x) {
            const size_t i = 3 * static_cast<size_t>(x);
            line[x] = qRgb(rgb[i], rgb[i + 1], rgb[i + 2]);
        }
        return true;
    }

private:
    QImage& mImage;
};

QImage renderTexture(quorvel::TextureParams record, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    ImageSink sink(image);
    quorvel::renderImage(record, quorvel::Sampling::image(width, height), sink);
    return image;
}

// The background: the Marble every new document starts with, in relief.
QImage background() {
    quorvel::TextureParams marble = quorvel::newTexture();
    marble.reliefIntensity = 2.0f;
    return renderTexture(marble, CSplashWindow::kWidth, CSplashWindow::kHeight);
}

void drawSwatches(QPainter& painter) {
    using quorvel::MaterialType;
    constexpr MaterialType kMaterials[] = {MaterialType::Wood,    MaterialType::Agate,
                                           MaterialType::Granite, MaterialType::Leopard,
                                           MaterialType::Smoke,   MaterialType::Onion};
    constexpr int kSide = 64;
    constexpr int kGap = 14;
    constexpr int kCount = static_cast<int>(std::size(kMaterials));
    int x = (CSplashWindow::kWidth - kCount * kSide - (kCount - 1) * kGap) / 2;
    const int y = CSplashWindow::kHeight - kSide - 28;
    painter.setPen(QPen(QColor(255, 255, 255, 220), 2));
    painter.setBrush(Qt::NoBrush);
    for (MaterialType material : kMaterials) {
        const quorvel::TextureParams record = quorvel::materialDefaults(static_cast<int>(material));
        painter.drawImage(x, y, renderTexture(record, kSide, kSide));
        painter.drawRect(x - 1, y - 1, kSide + 1, kSide + 1);
        x += kSide + kGap;
    }
}

void drawTitle(QPainter& painter) {
    QFont title(QStringLiteral("Serif"), 1, QFont::Bold);
    title.setPixelSize(84);
    title.setItalic(true);
    QPainterPath text;
    text.addText(0, 0, title, QStringLiteral("Quorvel"));
    const QRectF bounds = text.boundingRect();
    text.translate(QPointF((CSplashWindow::kWidth - bounds.width()) / 2 - bounds.left(),
                           130 - bounds.bottom()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(text.translated(4, 4), QColor(0, 0, 0, 150));
    painter.setPen(QPen(QColor(40, 24, 8), 2));
    painter.setBrush(QColor(255, 246, 228));
    painter.drawPath(text);

    QFont subtitle(QStringLiteral("Sans Serif"));
    subtitle.setPixelSize(18);
    painter.setFont(subtitle);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRect(0, 150, CSplashWindow::kWidth, 30), Qt::AlignCenter,
                     QStringLiteral("Procedural textures, composed"));
}

QImage makePicture() {
    QImage image = background();
    QPainter painter(&image);
    // A darker band under the title keeps it readable on any marble.
    painter.fillRect(QRect(0, 40, CSplashWindow::kWidth, 150), QColor(0, 0, 0, 70));
    drawTitle(painter);
    drawSwatches(painter);
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, CSplashWindow::kWidth - 1, CSplashWindow::kHeight - 1);
    return image;
}

bool isPress(const QEvent& event) {
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:  // a key taken by a shortcut never arrives as a key press
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
        const Qt::MouseButton button = static_cast<const QMouseEvent&>(event).button();
        return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default: return false;
    }
}

}  // namespace

CSplashWindow::CSplashWindow(const QImage& picture, QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      mPicture(QPixmap::fromImage(picture)) {
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(mPicture.size());
}

CSplashWindow::~CSplashWindow() {
    if (gCurrent == this)
        gCurrent = nullptr;
}

void CSplashWindow::enableSplash(bool wanted) noexcept { gSplashWanted = wanted; }

CSplashWindow* CSplashWindow::current() noexcept { return gCurrent.data(); }

QImage CSplashWindow::picture() {
    static const QImage kPicture = makePicture();
    return kPicture;
}

void CSplashWindow::showSplash(QWidget* owner) {
    if (!gSplashWanted || gCurrent)
        return;
    const QImage image = picture();
    if (image.isNull())
        return;
    auto* splash = new CSplashWindow(image, owner);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                       : screen                    ? screen->availableGeometry()
                                                   : QRect();
    QRect place = splash->rect();
    place.moveCenter(area.center());
    splash->move(place.topLeft());
    gCurrent = splash;
    // Every press in the program passes the splash on its way to where it is going.
    qApp->installEventFilter(splash);
    splash->startTimer(kShowMilliseconds);
    splash->show();
    splash->repaint();
    // The splash only shows: the keyboard stays with the frame the user works in.
    if (owner && owner->isVisible())
        owner->activateWindow();
}

void CSplashWindow::hideSplash() {
    CSplashWindow* splash = gCurrent.data();
    if (!splash)
        return;
    gCurrent = nullptr;
    qApp->removeEventFilter(splash);
    splash->hide();
    // The press that hid it may still be on its way through it.
    splash->deleteLater();
    if (QWidget* owner = splash->parentWidget())
        owner->update();
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (isPress(*event))
        hideSplash();
    return QWidget::eventFilter(watched, event);
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, mPicture);
}

void CSplashWindow::timerEvent(QTimerEvent*) { hideSplash(); }
