#pragma once

#include "engine/textureparams.h"

#include <QWidget>

class QCheckBox;
class QLabel;

// The Seamless choice of the command block and the whole-cell scales a seamless render uses,
// shown in the Scale fields' units (tenths). The note is greyed while the choice is off.
class CSeamlessBox : public QWidget {
    Q_OBJECT

public:
    explicit CSeamlessBox(QWidget* parent = nullptr);

    // Shows the record's choice and tile scales without a signal.
    void showRecord(const quorvel::TextureParams& record);
    bool isChecked() const;

    QCheckBox* checkBox() const noexcept { return mCheck; }
    QLabel* scaleNote() const noexcept { return mNote; }

    // "Tiles at scale 20 × 20, relief 10 × 10": the record's tile scales as the fields show
    // scales.
    static QString tileScaleText(const quorvel::TextureParams& record);

signals:
    // The user turned the choice on or off (mouse or keyboard).
    void toggledByUser(bool on);

private:
    QCheckBox* mCheck;
    QLabel* mNote;
};
