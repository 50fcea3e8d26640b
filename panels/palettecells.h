#pragma once

#include "engine/textureparams.h"

#include <QColor>
#include <QWidget>

#include <array>

// The strip of 24 colour cells, 16 pixels each, showing the start colours of the texture's
// colour map.
class CPaletteCells : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCells = quorvel::kColourMapEntries;
    static constexpr int kCellWidth = 16;

    explicit CPaletteCells(QWidget* parent = nullptr);

    // Channels 0 to 255.
    void setCell(int index, int red, int green, int blue);
    QColor cell(int index) const;
    // Each cell takes its entry's start colour: each channel x 255, truncated toward zero.
    void showColourMap(const quorvel::ColourMap& map);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QColor, kCells> mCells;
};
