#include "panels/coloreditor.h"

#include "document/userdialogs.h"
#include "engine/numeric.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kTop = 5;
constexpr int kBottom = 115;
constexpr int kSlotLefts[3] = {2, 14, 26};
constexpr int kSlotWidth = 10;
constexpr int kSwatchLeft = 38;
constexpr int kSwatchRight = 68;
constexpr QSize kEditorSize(72, 120);

// The constants are single precision as stored; the products are formed in double.
constexpr double kPerPixel = 1.0f / 110.0f;
constexpr double kPerByte = 1.0f / 255.0f;
constexpr double kBrillianceToByte = 1.275f;
constexpr double kByteToBrilliance = 200.0f / 255.0f;

const QColor kFace(0xC0, 0xC0, 0xC0);
const QColor kShadow(0x40, 0x40, 0x40);
const QColor kHighlight(0xFF, 0xFF, 0xFF);
const QColor kDarkShadow(0x00, 0x00, 0x00);

// Records read from files may hold anything; the editor shows such values at the nearest end.
int toByte(float value, double factor) {
    return qBound(0, quorvel::truncToInt(static_cast<double>(value) * factor), 255);
}

float fromByte(int byte, double factor) { return static_cast<float>(byte * factor); }

int sliderValue(int y) { return quorvel::truncToInt((kBottom - y) * kPerPixel * 255.0); }

QPoint pixelAt(const QMouseEvent* event) {
    const QPointF position = event->position();
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

// An axis-aligned polyline drawn as the platform draws lines: every point but the last.
void polyline(QPainter& painter, std::initializer_list<QPoint> points, const QColor& colour) {
    const QPoint* from = points.begin();
    for (const QPoint* to = from + 1; to != points.end(); from = to, ++to) {
        const QPoint step((to->x() > from->x()) - (to->x() < from->x()),
                          (to->y() > from->y()) - (to->y() < from->y()));
        for (QPoint p = *from; p != *to; p += step) {
            painter.fillRect(p.x(), p.y(), 1, 1, colour);
        }
    }
}

// The sunken two-pixel frame around the columns left to right of the rows kTop to kBottom.
void sunkenFrame(QPainter& painter, int left, int right) {
    const int l = left;
    const int r = right;
    polyline(painter, {{l - 1, kBottom + 1}, {l - 1, kTop - 1}, {r + 1, kTop - 1}}, kShadow);
    polyline(painter, {{l - 1, kBottom + 1}, {r + 1, kBottom + 1}, {r + 1, kTop - 1}}, kHighlight);
    polyline(painter, {{l, kBottom}, {l, kTop}, {r, kTop}}, kDarkShadow);
    polyline(painter, {{l, kBottom}, {r, kBottom}, {r, kTop}}, kFace);
}

}  // namespace

CColorEditor::CColorEditor(Mode mode, quorvel::TextureParams& record, QWidget* parent)
    : QWidget(parent), mMode(mode), mRecord(record) {
    setFixedSize(kEditorSize);
    switch (mMode) {
    case Mode::LightColour:
    case Mode::ReflectionColour: {
        const quorvel::Colour& source =
            mMode == Mode::LightColour ? mRecord.lightColour : mRecord.reflectionColour;
        mChannels = {toByte(source.r, 255.0), toByte(source.g, 255.0), toByte(source.b, 255.0)};
        break;
    }
    case Mode::Brilliance: {
        const quorvel::Vec3& source = mRecord.brilliance;
        mChannels = {toByte(source.x, kBrillianceToByte), toByte(source.y, kBrillianceToByte),
                     toByte(source.z, kBrillianceToByte)};
        break;
    }
    }
}

QColor CColorEditor::colour() const { return {mChannels[0], mChannels[1], mChannels[2]}; }

CColorEditor::Part CColorEditor::partAt(QPoint point) {
    if (point.y() < kTop || point.y() > kBottom) {
        return Part::None;
    }
    const int x = point.x();
    for (int channel = 0; channel < 3; ++channel) {
        if (x >= kSlotLefts[channel] && x <= kSlotLefts[channel] + kSlotWidth) {
            return static_cast<Part>(channel);
        }
    }
    return x >= kSwatchLeft && x <= kSwatchRight ? Part::Swatch : Part::None;
}

void CColorEditor::writeRecord() {
    if (mMode == Mode::Brilliance) {
        mRecord.brilliance = {fromByte(mChannels[0], kByteToBrilliance),
                              fromByte(mChannels[1], kByteToBrilliance),
                              fromByte(mChannels[2], kByteToBrilliance)};
        emit changed();
        return;
    }
    quorvel::Colour& target =
        mMode == Mode::LightColour ? mRecord.lightColour : mRecord.reflectionColour;
    target.r = fromByte(mChannels[0], kPerByte);
    target.g = fromByte(mChannels[1], kPerByte);
    target.b = fromByte(mChannels[2], kPerByte);
    emit changed();
}

void CColorEditor::chooseSwatchColour() {
    const QColor chosen = CUserDialogs::instance().chooseColour(this, colour());
    if (chosen.isValid()) {
        mChannels = {chosen.red(), chosen.green(), chosen.blue()};
    }
}

void CColorEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = pixelAt(event);
    mActivePart = partAt(point);
    // Only a slider press starts a drag, even when an earlier release never arrived.
    mDragging = mActivePart == Part::Red || mActivePart == Part::Green || mActivePart == Part::Blue;
    if (mActivePart == Part::Swatch) {
        chooseSwatchColour();
    } else if (mDragging) {
        mChannels[static_cast<size_t>(mActivePart)] = sliderValue(point.y());
    }
    // A cancelled chooser still writes back, so brilliance passes through its byte value.
    if (mActivePart != Part::None) {
        writeRecord();
    }
    repaint();
    // The chooser takes the release with it: the swatch's edit is complete here.
    if (mActivePart == Part::Swatch) {
        emit released();
    }
}

void CColorEditor::mouseMoveEvent(QMouseEvent* event) {
    if (!mDragging || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    const int y = pixelAt(event).y();
    if (y >= kTop && y <= kBottom) {
        mChannels[static_cast<size_t>(mActivePart)] = sliderValue(y);
    }
    writeRecord();
    repaint();
}

void CColorEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    mDragging = false;
    emit released();
}

void CColorEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace);
    const QColor bars[3] = {QColor(0xFF, 0, 0), QColor(0, 0xFF, 0), QColor(0, 0, 0xFF)};
    for (int channel = 0; channel < 3; ++channel) {
        const int left = kSlotLefts[channel];
        const int height =
            quorvel::truncToInt(mChannels[static_cast<size_t>(channel)] * kPerByte * 110.0);
        painter.fillRect(left, kBottom - height, kSlotWidth, height, bars[channel]);
    }
    for (int channel = 0; channel < 3; ++channel) {
        sunkenFrame(painter, kSlotLefts[channel], kSlotLefts[channel] + kSlotWidth);
    }
    painter.fillRect(kSwatchLeft, kTop, kSwatchRight - kSwatchLeft, kBottom - kTop, colour());
    sunkenFrame(painter, kSwatchLeft, kSwatchRight);
}
