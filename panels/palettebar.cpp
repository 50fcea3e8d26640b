#include "panels/palettebar.h"

#include "document/quorveldoc.h"
#include "document/userdialogs.h"
#include "engine/numeric.h"
#include "panels/palettecells.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"

#include <QHBoxLayout>

#include <algorithm>
#include <array>

namespace {

using quorvel::Colour;
using quorvel::ColourMap;

// The single-precision 1/255 (0.003921568859...), a hair above the true value, so a byte
// stored as byte x k and read back as x 255, truncated, comes back unchanged.
constexpr float kByteToUnit = 1.0f / 255.0f;

constexpr std::array<float Colour::*, 3> kChannels{&Colour::r, &Colour::g, &Colour::b};

float unitFromByte(int byte) {
    return static_cast<float>(static_cast<double>(byte) * static_cast<double>(kByteToUnit));
}

// Cell `index` shows entry index's start colour; the chain makes the previous entry end there,
// and the last entry ends on its own start.
void setMapChannel(ColourMap& map, int index, float Colour::*channel, float value) {
    auto& entries = map.entries;
    entries[static_cast<size_t>(index)].startColour.*channel = value;
    if (index > 0)
        entries[static_cast<size_t>(index - 1)].endColour.*channel = value;
    if (index == quorvel::kColourMapEntries - 1)
        entries[static_cast<size_t>(index)].endColour.*channel = value;
}

std::array<int, 3> bytesOf(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

}  // namespace

CPaletteBar::CPaletteBar(CPanelHost& host, QWidget* parent)
    : QWidget(parent), mHost(host), mCells(new CPaletteCells),
      mColourButton(new CPromptButton(QStringLiteral("Color..."))),
      mGradientButton(new CPromptButton(QStringLiteral("Gradient"))) {
    mColourButton->setPrompt(QStringLiteral("Modify the Current Color in the Palette."));
    mGradientButton->setPrompt(
        QStringLiteral("Degrade, click the two colors to degrade in the Palette."));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mCells);
    layout->addWidget(mColourButton);
    layout->addWidget(mGradientButton);
    layout->addStretch();

    for (CPromptButton* button : {mColourButton, mGradientButton})
        connect(button, &CPromptButton::prompted, this,
                [this](const QString& prompt) { mHost.showPrompt(prompt); });
    // A fill may be started without a document; the clicks need one.
    connect(mGradientButton, &CPromptButton::clicked, this, [this] { mGradientCounter = 2; });
    connect(mColourButton, &CPromptButton::clicked, this, [this] { chooseColour(this); });
    connect(mCells, &CPaletteCells::cellPressed, this, &CPaletteBar::pressCell);
    connect(mCells, &CPaletteCells::cellDoubleClicked, this, &CPaletteBar::doubleClickCell);
}

void CPaletteBar::pressCell(int index) {
    CQuorvelDoc* document = mHost.activeDocument();
    if (!document)
        return;
    mCells->setSelectedCell(index);
    if (mGradientCounter == 0)
        return;
    if (--mGradientCounter == 1) {
        mGradientFirst = index;
        return;
    }
    const int first = std::min(mGradientFirst, index);
    const int last = std::max(mGradientFirst, index);
    if (first == last)
        return;
    quorvel::ColourMap map = document->record().colourMap;
    fillGradient(map, first, last);
    mCells->repaint();
    storeMap(*document, map, QStringLiteral("Gradient"));
}

void CPaletteBar::showDocument(CQuorvelDoc* document) {
    if (mShown == document)
        return;
    if (mShown)
        disconnect(mShown, nullptr, this, nullptr);
    mShown = document;
    if (!document)
        return;
    mCells->showColourMap(document->record().colourMap);
    // Undo, redo, a material's presets: the cells follow the map, except while this bar stores
    // its own edit, whose cells it has already set (a gradient's cells run on their own sums).
    connect(document, &CQuorvelDoc::textureChanged, this, [this] {
        if (!mStoring && mShown)
            mCells->showColourMap(mShown->record().colourMap);
    });
}

void CPaletteBar::storeMap(CQuorvelDoc& document, const quorvel::ColourMap& map,
                           const QString& edit) {
    mStoring = true;
    document.setColourMap(map, edit);
    mStoring = false;
}

void CPaletteBar::doubleClickCell(int index) {
    if (!mHost.activeDocument())
        return;
    mCells->setSelectedCell(index);
    chooseColour(mCells);
}

void CPaletteBar::chooseColour(QWidget* owner) {
    if (!mHost.activeDocument())
        return;
    const int index = mCells->selectedCell();
    const QColor chosen = CUserDialogs::instance().chooseColour(owner, mCells->cell(index));
    // The chooser is modal, but the document is looked up again rather than trusted to live on.
    CQuorvelDoc* document = mHost.activeDocument();
    if (!chosen.isValid() || !document)
        return;
    const std::array<int, 3> bytes = bytesOf(chosen);
    mCells->setCell(index, bytes[0], bytes[1], bytes[2]);
    quorvel::ColourMap map = document->record().colourMap;
    for (size_t channel = 0; channel < kChannels.size(); ++channel)
        setMapChannel(map, index, kChannels[channel], unitFromByte(bytes[channel]));
    mCells->repaint();
    storeMap(*document, map, QStringLiteral("Palette Color"));
}

void CPaletteBar::fillGradient(ColourMap& map, int first, int last) {
    std::array<std::array<int, 3>, CPaletteCells::kCells> bytes{};
    for (int i = first; i <= last; ++i)
        bytes[static_cast<size_t>(i)] = bytesOf(mCells->cell(i));
    const int cells = last - first;
    for (size_t channel = 0; channel < kChannels.size(); ++channel) {
        const int start = bytes[static_cast<size_t>(first)][channel];
        const int end = bytes[static_cast<size_t>(last)][channel];
        // The cells and the map run on separate sums: the cells' in double precision, the
        // map's in single precision, so a cell can end one below the clicked cell's old value.
        const float step = static_cast<float>(static_cast<double>(end - start) / cells);
        const float mapStep =
            static_cast<float>(static_cast<double>(step) * static_cast<double>(kByteToUnit));
        double cellValue = start;
        float mapValue = unitFromByte(start);
        for (int j = first + 1; j <= last; ++j) {
            cellValue += step;
            mapValue += mapStep;
            bytes[static_cast<size_t>(j)][channel] = quorvel::truncToInt(cellValue);
            setMapChannel(map, j, kChannels[channel], mapValue);
        }
    }
    for (int j = first + 1; j <= last; ++j) {
        const auto& cell = bytes[static_cast<size_t>(j)];
        mCells->setCell(j, cell[0], cell[1], cell[2]);
    }
}
