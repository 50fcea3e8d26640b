#pragma once

#include <QDialog>
#include <QSize>

class QButtonGroup;

// "Image Format": eight preset sizes and a free size as one group of radio buttons. The Free
// Format button asks for the free size each time it is clicked.
class CImageFormatDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFreeFormat = 8;

    // `selection` 0 to 8 starts checked (none outside that range); the free size starts as the
    // record's size.
    CImageFormatDialog(int selection, QSize recordSize, QWidget* parent = nullptr);

    // The checked index, 0 to 8, or -1 when none is.
    int selection() const;
    void setSelection(int index);
    // The size the free choice applies.
    QSize freeSize() const noexcept { return mFreeSize; }

    // The size preset `index` (0 to 7) sets; what the label says is not always it (1K sets
    // 1024 x 768).
    static QSize presetSize(int index);
    static QString label(int index);

private:
    void askFreeSize();

    QButtonGroup* mGroup;
    QSize mRecordSize;
    QSize mFreeSize;
};
