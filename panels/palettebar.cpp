#include "panels/palettebar.h"

#include "panels/palettecells.h"

#include <QHBoxLayout>

CPaletteBar::CPaletteBar(QWidget* parent) : QWidget(parent), mCells(new CPaletteCells) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(mCells);
    layout->addStretch();
}
