#include "panels/lightdirectionpicker.h"

#include "engine/numeric.h"
#include "panels/spherepreview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kSunSize = 16;
constexpr int kFarAway = 1 << 20;
constexpr QRgb kFace = 0xFFC0C0C0;
constexpr QRgb kShadow = 0xFF404040;
constexpr QRgb kHighlight = 0xFFFFFFFF;
constexpr QRgb kDarkShadow = 0xFF000000;

// A white disc with eight white rays on black, centred on pixel (8, 8).
QImage makeSun() {
    QImage sun(kSunSize, kSunSize, QImage::Format_RGB32);
    sun.fill(kDarkShadow);
    constexpr int centre = 8;
    for (int y = 0; y < kSunSize; ++y) {
        for (int x = 0; x < kSunSize; ++x) {
            const int dx = x - centre;
            const int dy = y - centre;
            const int distance2 = dx * dx + dy * dy;
            const bool disc = distance2 <= 12;
            const bool onRay = dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy);
            const bool ray = onRay && distance2 >= 25 && distance2 <= 50;
            if (disc || ray) {
                sun.setPixel(x, y, kHighlight);
            }
        }
    }
    return sun;
}

QPoint pixelAt(const QMouseEvent* event) {
    const QPointF position = event->position();
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

// An axis-aligned polyline drawn as the platform draws lines: every point but the last.
void polyline(QImage& image, std::initializer_list<QPoint> points, QRgb colour) {
    const QPoint* from = points.begin();
    for (const QPoint* to = from + 1; to != points.end(); from = to, ++to) {
        const QPoint step((to->x() > from->x()) - (to->x() < from->x()),
                          (to->y() > from->y()) - (to->y() < from->y()));
        for (QPoint p = *from; p != *to; p += step) {
            if (image.rect().contains(p)) {
                image.setPixel(p, colour);
            }
        }
    }
}

}  // namespace

CLightDirectionPicker::CLightDirectionPicker(quorvel::TextureParams& record,
                                             std::span<const uint8_t> sphereTable, QWidget* parent)
    : QWidget(parent), mRecord(record), mSphereTable(sphereTable), mSun(makeSun()) {
    setFixedSize(kSize);
    renderSphere();
}

void CLightDirectionPicker::refresh() {
    renderSphere();
    repaint();
}

void CLightDirectionPicker::renderSphere() {
    const int w = width();
    const int h = height();
    mPicture = QImage(w, h, QImage::Format_RGB32);
    mPicture.fill(kFace);
    polyline(mPicture, {{1, h - 1}, {1, 1}, {w - 1, 1}}, kShadow);
    polyline(mPicture, {{1, h - 1}, {w - 1, h - 1}, {w - 1, 1}}, kHighlight);
    polyline(mPicture, {{2, h - 2}, {2, 2}, {w - 2, 2}}, kDarkShadow);
    polyline(mPicture, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 2}}, kFace);
    quorvel::drawSpherePreview(mSphereTable, mRecord, mPicture,
                               (w - quorvel::kSpherePreviewSize) / 2, h / 2);
    toggleMarker();
}

void CLightDirectionPicker::invertPixel(int x, int y) {
    if (x >= 0 && y >= 0 && x < mPicture.width() && y < mPicture.height()) {
        auto* line = reinterpret_cast<QRgb*>(mPicture.scanLine(y));
        line[x] ^= 0x00FFFFFF;
    }
}

QPoint CLightDirectionPicker::markerPosition() const {
    const int w = mPicture.width();
    const int h = mPicture.height();
    const double x = mRecord.lightDirection.x;
    const double y = mRecord.lightDirection.y;
    // Directions read from files can be anything; far beyond the window the marker is invisible
    // and only its line's slope matters, so the position is bounded to keep the arithmetic safe.
    const int mx = quorvel::truncToInt((w - kSunSize) * x * 0.5 + w / 2);
    const int my = quorvel::truncToInt((h - kSunSize) * y * 0.5 + h / 2);
    return {qBound(-kFarAway, mx, kFarAway), qBound(-kFarAway, my, kFarAway)};
}

void CLightDirectionPicker::toggleMarker() {
    const QPoint marker = markerPosition();
    for (int y = 0; y < kSunSize; ++y) {
        for (int x = 0; x < kSunSize; ++x) {
            if (mSun.pixel(x, y) != kDarkShadow) {
                invertPixel(marker.x() - kSunSize / 2 + x, marker.y() - kSunSize / 2 + y);
            }
        }
    }
    invertLine(marker, QPoint(mPicture.width() / 2, mPicture.height() / 2));
}

void CLightDirectionPicker::invertLine(QPoint from, QPoint to) {
    const int64_t dx = to.x() - from.x();
    const int64_t dy = to.y() - from.y();
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
    if (steps == 0) {
        return;
    }
    const int64_t start = alongX ? from.x() : from.y();
    const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1;
    const int64_t limit = alongX ? mPicture.width() : mPicture.height();
    // Only the steps whose main coordinate lies inside the picture are walked; the last point,
    // the centre, is left out as the platform leaves out a line's end.
    int64_t first = direction > 0 ? -start : start - (limit - 1);
    int64_t last = direction > 0 ? limit - 1 - start : start;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, steps - 1);
    const int64_t otherStart = alongX ? from.y() : from.x();
    const int64_t otherDelta = alongX ? dy : dx;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t main = start + direction * i;
        const int64_t other =
            otherStart + std::llround(static_cast<double>(i * otherDelta) / steps);
        if (alongX) {
            invertPixel(static_cast<int>(main), static_cast<int>(other));
        } else {
            invertPixel(static_cast<int>(other), static_cast<int>(main));
        }
    }
}

void CLightDirectionPicker::setDirection(QPoint point) {
    const int w2 = width() / 2;
    const int h2 = height() / 2;
    mRecord.lightDirection.x = static_cast<float>(static_cast<double>(point.x() - w2) / w2);
    mRecord.lightDirection.y = static_cast<float>(static_cast<double>(point.y() - h2) / h2);
    emit changed();
}

void CLightDirectionPicker::moveMarker(QPoint point) {
    toggleMarker();
    setDirection(point);
    toggleMarker();
    repaint();
}

void CLightDirectionPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    moveMarker(pixelAt(event));
    mDragging = true;
}

void CLightDirectionPicker::mouseMoveEvent(QMouseEvent* event) {
    if (mDragging) {
        moveMarker(pixelAt(event));
    }
}

void CLightDirectionPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setDirection(pixelAt(event));
    mDragging = false;
    refresh();
}

void CLightDirectionPicker::resizeEvent(QResizeEvent*) { renderSphere(); }

void CLightDirectionPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, mPicture);
}
