#include "panels/seamlessbox.h"

#include "engine/seamless.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace {

// As the Scale fields show a scale: tenths, the nearest whole number.
long shownScale(float scale) { return std::lround(static_cast<double>(scale) * 10.0); }

}  // namespace

CSeamlessBox::CSeamlessBox(QWidget* parent)
    : QWidget(parent), mCheck(new QCheckBox(tr("Seamless"))), mNote(new QLabel) {
    mCheck->setAccessibleName(tr("Seamless"));
    mCheck->setFocusPolicy(Qt::StrongFocus);
    mCheck->setToolTip(
        tr("The image tiles without a seam; its scales are rounded to whole cells."));
    mNote->setWordWrap(true);
    mNote->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // As wide as its text, so that only a click on it ticks it.
    layout->addWidget(mCheck, 0, Qt::AlignLeft);
    layout->addWidget(mNote);
    // clicked, not toggled: showing a record must not look like the user's choice.
    connect(mCheck, &QCheckBox::clicked, this, &CSeamlessBox::toggledByUser);
}

QString CSeamlessBox::tileScaleText(const quorvel::TextureParams& record) {
    const quorvel::TileScales tiles = quorvel::tileScales(record);
    return tr("Tiles at scale %1 \u00d7 %2, relief %3 \u00d7 %4")
        .arg(shownScale(tiles.materialX))
        .arg(shownScale(tiles.materialY))
        .arg(shownScale(tiles.reliefX))
        .arg(shownScale(tiles.reliefY));
}

void CSeamlessBox::showRecord(const quorvel::TextureParams& record) {
    const bool on = quorvel::isSeamless(record);
    {
        const QSignalBlocker quiet(mCheck);
        mCheck->setChecked(on);
    }
    mNote->setText(tileScaleText(record));
    mNote->setEnabled(on);
}

bool CSeamlessBox::isChecked() const { return mCheck->isChecked(); }
