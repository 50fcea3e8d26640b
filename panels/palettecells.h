#pragma once

#include "engine/textureparams.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>

class QPainter;

// The strip of 24 colour cells, 16 pixels wide each, showing the start colours of the texture's
// colour map and which cell is selected. It only reports left presses and double clicks: the
// palette bar decides what they do, because without a document they must not even select.
class CPaletteCells : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCells = quorvel::kColourMapEntries;
    static constexpr int kCellWidth = 16;
    static constexpr int kHeight = 16;

    explicit CPaletteCells(QWidget* parent = nullptr);

    // Channels are bytes; values outside 0 to 255 are limited to it. Indices outside 0 to 23 are
    // ignored. Schedules a repaint.
    void setCell(int index, int red, int green, int blue);
    // An invalid colour outside 0 to 23.
    QColor cell(int index) const;
    // Each cell takes its entry's start colour: each channel x 255 in single precision, truncated
    // toward zero and limited to 0 to 255 (files may hold anything). Repaints at once.
    void showColourMap(const quorvel::ColourMap& map);

    // 0 to 23; 0 when the strip is created.
    int selectedCell() const noexcept { return mSelected; }
    // Repaints at once when the selection moves; indices outside 0 to 23 are ignored.
    void setSelectedCell(int index);

    QSize sizeHint() const override;

signals:
    // Left button on cell `index` (0 to 23); columns right of the last cell report nothing.
    void cellPressed(int index);
    void cellDoubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The cell under pixel column x, or -1 outside the cells.
    static int cellAt(int x) noexcept;
    void paintCell(QPainter& painter, int index) const;

    std::array<std::array<uint8_t, 3>, kCells> mCells{};
    int mSelected = 0;
};
