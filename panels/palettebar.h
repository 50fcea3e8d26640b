#pragma once

#include <QWidget>

class CPaletteCells;

// The palette panel: the colour cells of the active texture's colour map.
class CPaletteBar : public QWidget {
    Q_OBJECT

public:
    explicit CPaletteBar(QWidget* parent = nullptr);

    CPaletteCells* cells() const noexcept { return mCells; }

private:
    CPaletteCells* mCells;
};
