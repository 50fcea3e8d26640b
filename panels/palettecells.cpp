#include "panels/palettecells.h"

#include "engine/numeric.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include <initializer_list>

namespace {

struct CellPens {
    QColor outline;
    QColor outerTopLeft;
    QColor outerBottomRight;
    QColor innerTopLeft;
    QColor innerBottomRight;
};

const CellPens kUnselectedPens{QColor(0x80, 0x80, 0x80), QColor(0x40, 0x40, 0x40),
                               QColor(0xFF, 0xFF, 0xFF), QColor(0x00, 0x00, 0x00),
                               QColor(0xC0, 0xC0, 0xC0)};
const CellPens kSelectedPens{QColor(0x00, 0x00, 0xFF), QColor(0x00, 0x00, 0xFF),
                             QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0x00, 0x80),
                             QColor(0x00, 0x80, 0xFF)};

uint8_t toByte(int value) { return static_cast<uint8_t>(qBound(0, value, 255)); }

uint8_t cellChannel(float channel) { return toByte(quorvel::truncToInt(channel * 255.0f)); }

// A 1-pixel polyline of horizontal and vertical segments. Every segment leaves out its end
// point, so the line's last point stays unpainted while its corners are painted by the segment
// that starts there.
void drawPolyline(QPainter& painter, const QColor& colour, std::initializer_list<QPoint> points) {
    const QPoint* from = points.begin();
    for (const QPoint* to = from + 1; to != points.end(); from = to++) {
        const QPoint last =
            *to - QPoint(qBound(-1, to->x() - from->x(), 1), qBound(-1, to->y() - from->y(), 1));
        painter.fillRect(QRect(QPoint(qMin(from->x(), last.x()), qMin(from->y(), last.y())),
                               QPoint(qMax(from->x(), last.x()), qMax(from->y(), last.y()))),
                         colour);
    }
}

}  // namespace

CPaletteCells::CPaletteCells(QWidget* parent) : QWidget(parent) {
    // A grey ramp from light to black until a document fills the cells.
    for (int i = 0; i < kCells; ++i) {
        const uint8_t grey = toByte((kCells - 1 - i) * 11);
        mCells[static_cast<size_t>(i)] = {grey, grey, grey};
    }
    setFixedSize(sizeHint());
}

void CPaletteCells::setCell(int index, int red, int green, int blue) {
    if (index < 0 || index >= kCells)
        return;
    mCells[static_cast<size_t>(index)] = {toByte(red), toByte(green), toByte(blue)};
    update();
}

QColor CPaletteCells::cell(int index) const {
    if (index < 0 || index >= kCells)
        return {};
    const auto& bytes = mCells[static_cast<size_t>(index)];
    return QColor(bytes[0], bytes[1], bytes[2]);
}

void CPaletteCells::showColourMap(const quorvel::ColourMap& map) {
    for (int i = 0; i < kCells; ++i) {
        const quorvel::Colour& colour = map.entries[static_cast<size_t>(i)].startColour;
        mCells[static_cast<size_t>(i)] = {cellChannel(colour.r), cellChannel(colour.g),
                                          cellChannel(colour.b)};
    }
    repaint();
}

void CPaletteCells::setSelectedCell(int index) {
    if (index < 0 || index >= kCells || index == mSelected)
        return;
    mSelected = index;
    repaint();
}

QSize CPaletteCells::sizeHint() const { return {kCells * kCellWidth, kHeight}; }

int CPaletteCells::cellAt(int x) noexcept {
    if (x < 0 || x >= kCells * kCellWidth)
        return -1;
    return x / kCellWidth;
}

void CPaletteCells::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    for (int i = 0; i < kCells; ++i)
        paintCell(painter, i);
}

void CPaletteCells::paintCell(QPainter& painter, int index) const {
    const CellPens& pens = index == mSelected ? kSelectedPens : kUnselectedPens;
    const int left = index * kCellWidth;
    const int right = left + kCellWidth - 1;
    const int top = 0;
    const int bottom = height();
    // The outlined rectangle covers columns left to right - 1 and rows top to bottom - 1.
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), pens.outline);
    painter.fillRect(QRect(QPoint(left + 1, top + 1), QPoint(right - 2, bottom - 2)), cell(index));
    drawPolyline(painter, pens.outerTopLeft, {{left, bottom}, {left, top}, {right, top}});
    drawPolyline(painter, pens.outerBottomRight, {{left, bottom}, {right, bottom}, {right, top}});
    drawPolyline(painter, pens.innerTopLeft,
                 {{left + 1, bottom - 1}, {left + 1, top + 1}, {right - 1, top + 1}});
    drawPolyline(painter, pens.innerBottomRight,
                 {{left + 1, bottom - 1}, {right - 1, bottom - 1}, {right - 1, top + 1}});
}

void CPaletteCells::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = cellAt(qFloor(event->position().x()));
    if (index >= 0)
        emit cellPressed(index);
}

void CPaletteCells::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const int index = cellAt(qFloor(event->position().x()));
    if (index >= 0)
        emit cellDoubleClicked(index);
}
