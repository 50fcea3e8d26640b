#include "panels/palettecells.h"

#include "engine/numeric.h"

#include <QPainter>

namespace {

constexpr int kCellHeight = 16;

// Channel bytes as the cells keep them; values from files outside 0 to 1 show clamped.
int cellChannel(float channel) { return qBound(0, quorvel::truncToInt(channel * 255.0f), 255); }

}  // namespace

CPaletteCells::CPaletteCells(QWidget* parent) : QWidget(parent) {
    // A grey ramp until a document fills the cells.
    for (int i = 0; i < kCells; ++i) {
        const int grey = i * 255 / (kCells - 1);
        mCells[static_cast<size_t>(i)] = QColor(grey, grey, grey);
    }
    setFixedSize(sizeHint());
}

void CPaletteCells::setCell(int index, int red, int green, int blue) {
    if (index < 0 || index >= kCells)
        return;
    mCells[static_cast<size_t>(index)] = QColor(red, green, blue);
}

QColor CPaletteCells::cell(int index) const {
    if (index < 0 || index >= kCells)
        return {};
    return mCells[static_cast<size_t>(index)];
}

void CPaletteCells::showColourMap(const quorvel::ColourMap& map) {
    for (int i = 0; i < kCells; ++i) {
        const quorvel::Colour& colour = map.entries[static_cast<size_t>(i)].startColour;
        setCell(i, cellChannel(colour.r), cellChannel(colour.g), cellChannel(colour.b));
    }
    repaint();
}

QSize CPaletteCells::sizeHint() const { return {kCells * kCellWidth, kCellHeight}; }

void CPaletteCells::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < kCells; ++i) {
        const QRect cellRect(i * kCellWidth, 0, kCellWidth, kCellHeight);
        painter.fillRect(cellRect, mCells[static_cast<size_t>(i)]);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(cellRect.adjusted(0, 0, -1, -1));
    }
}
