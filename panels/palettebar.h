#pragma once

#include "engine/textureparams.h"

#include <QPointer>
#include <QWidget>

class CPaletteCells;
class CPanelHost;
class CQuorvelDoc;
class CPromptButton;

// The palette panel: the colour cells of the active texture's colour map, the Color... button
// that picks the selected cell's colour and the Gradient button that fills the cells between
// the next two clicked cells. Every change goes at once into the active document's colour map,
// whose entries stay chained (entry i's end colour is entry i + 1's start colour, entry 23 ends
// on its own start colour). Each change is one edit of the document, which the views show at once.
class CPaletteBar : public QWidget {
    Q_OBJECT

public:
    explicit CPaletteBar(CPanelHost& host, QWidget* parent = nullptr);

    CPaletteCells* cells() const noexcept { return mCells; }
    CPromptButton* colourButton() const noexcept { return mColourButton; }
    CPromptButton* gradientButton() const noexcept { return mGradientButton; }
    // Cell clicks a pending gradient fill still expects: 2 after Gradient, then 1, 0 when none
    // is pending.
    int gradientCounter() const noexcept { return mGradientCounter; }
    // Shows `document`'s colours, and keeps showing them as its record changes.
    void showDocument(CQuorvelDoc* document);

private:
    void pressCell(int index);
    void doubleClickCell(int index);
    // Asks for the selected cell's colour with `owner` as the chooser's parent.
    void chooseColour(QWidget* owner);
    // Cells first + 1 to last and their map entries step linearly from cell first to cell last.
    void fillGradient(quorvel::ColourMap& map, int first, int last);

    void storeMap(CQuorvelDoc& document, const quorvel::ColourMap& map, const QString& edit);

    CPanelHost& mHost;
    QPointer<CQuorvelDoc> mShown;
    bool mStoring = false;
    CPaletteCells* mCells;
    CPromptButton* mColourButton;
    CPromptButton* mGradientButton;
    int mGradientCounter = 0;
    int mGradientFirst = 0;
};
