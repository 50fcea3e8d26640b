#include "tests/gui/guitestsupport.h"

#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/promptbutton.h"

#include <QStatusBar>

#include <cstring>

namespace {

// A byte as the map stores it: byte x the single-precision 1/255, in double precision.
float stored(int byte) { return static_cast<float>(byte * double(1.0f / 255.0f)); }

bool same(const quorvel::ColourMap& a, const quorvel::ColourMap& b) {
    return std::memcmp(&a.entries, &b.entries, sizeof a.entries) == 0;
}

}  // namespace

class PaletteBar : public GuiTest {
protected:
    // Remembers whom each colour chooser was opened for and on which colour.
    struct Recorder : ScriptedDialogs {
        QColor chooseColour(QWidget* parent, const QColor& initial) override {
            opened.append({parent, initial});
            return ScriptedDialogs::chooseColour(parent, initial);
        }
        QList<std::pair<QWidget*, QColor>> opened;
    } chooser;

    void SetUp() override {
        GuiTest::SetUp();
        CUserDialogs::install(&chooser);
        start();
    }
    CPaletteBar* bar() const { return frame().paletteBar(); }
    CPaletteCells* cells() const { return bar()->cells(); }
    const quorvel::ColourMap& map() const { return activeDocument()->record().colourMap; }
    bool modified() const { return activeDocument()->isModified(); }
    static QPoint cellAt(int index) { return {16 * index + 8, 8}; }
    void clickCell(int index) const { user::click(cells(), cellAt(index)); }
    void gradient() const { user::click(bar()->gradientButton()); }
};

TEST_F(PaletteBar, GradientFillsUpFromTheLowerOfTheNextTwoCellsClickedOnSeparateSums) {
    for (const auto& [cell, colour] : {std::pair{10, QColor(0, 100, 255)}, {13, {100, 0, 255}}}) {
        chooser.colours.push_back(colour);
        user::doubleClick(cells(), cellAt(cell));
    }
    activeDocument()->markSaved();
    const quorvel::ColourMap before = map();
    gradient();
    clickCell(13);
    EXPECT_EQ(std::tuple(cells()->selectedCell(), bar()->gradientCounter(), modified()),
              std::tuple(13, 1, false));
    EXPECT_TRUE(same(map(), before));
    clickCell(10);
    EXPECT_EQ(std::tuple(bar()->gradientCounter(), modified()), std::tuple(0, true));
    // Cell 13 ends one below the 100 it had; the map's single-precision sums miss 0 by 2^-25.
    EXPECT_EQ(
        (std::array{cells()->cell(10), cells()->cell(11), cells()->cell(12), cells()->cell(13)}),
        (std::array{QColor(0, 100, 255), QColor(33, 66, 255), QColor(66, 33, 255),
                    QColor(99, 0, 255)}));
    const auto& e = map().entries;
    EXPECT_EQ((std::array{e[11].startColour.r, e[12].startColour.r, e[13].startColour.r,
                          e[11].startColour.g, e[12].startColour.g, e[12].endColour.g}),
              (std::array{0x1.0bb662p-3f, 0x1.0bb662p-2f, 0x1.919194p-2f, 0x1.0bb664p-2f,
                          0x1.0bb666p-3f, 0x1p-25f}));
    for (const size_t j : {0, 9, 14, 23})
        EXPECT_EQ(std::memcmp(&e[j], &before.entries[j], sizeof e[j]), 0) << "entry " << j;
    // The same cell twice changes nothing; Gradient again starts a new pair.
    const quorvel::ColourMap filled = map();
    activeDocument()->markSaved();
    for (const int cell : {-1, 7, -1, 9, 9, 12})  // -1: the Gradient button
        cell < 0 ? gradient() : clickCell(cell);
    EXPECT_FALSE(modified());
    EXPECT_TRUE(same(map(), filled));
}

TEST_F(PaletteBar, ChosenColourGoesIntoTheCellAndTheEntriesChainedToIt) {
    quorvel::ColourMap expected = map();
    chooser.colours.push_back(QColor());
    user::click(bar()->colourButton());
    EXPECT_TRUE(same(map(), expected) && !modified()) << "a cancelled chooser changes nothing";
    // Cell, by double click or Color..., and the colour chosen.
    const std::tuple<int, bool, QColor> rows[] = {
        {0, false, {10, 20, 30}}, {9, true, {1, 2, 3}}, {23, false, {255, 1, 254}}};
    for (const auto& [cell, doubleClick, colour] : rows) {
        const QColor old = cells()->cell(cell);
        chooser.colours.push_back(colour);
        if (!doubleClick)
            clickCell(cell);
        doubleClick ? user::doubleClick(cells(), cellAt(cell)) : user::click(bar()->colourButton());
        EXPECT_EQ(chooser.opened.last(), std::pair(doubleClick ? cells() : (QWidget*)bar(), old));
        EXPECT_EQ(std::tuple(cells()->selectedCell(), cells()->cell(cell), modified()),
                  std::tuple(cell, colour, true));
        // Entry i starts at cell i, entry i - 1 ends there, and the last entry ends there too.
        for (quorvel::Colour* chained :
             {&expected.entries[size_t(cell)].startColour,
              cell > 0 ? &expected.entries[size_t(cell - 1)].endColour : nullptr,
              cell == 23 ? &expected.entries[23].endColour : nullptr})
            if (chained)
                *chained = {stored(colour.red()), stored(colour.green()), stored(colour.blue()),
                            chained->a};
        EXPECT_TRUE(same(map(), expected)) << cell;
    }
}

TEST_F(PaletteBar, ClicksRightOfTheLastCellAreIgnoredAndTheSelectedCellIsOutlinedInBlue) {
    cells()->setFixedWidth(25 * 16);
    gradient();
    user::doubleClick(cells(), {24 * 16, 8});
    EXPECT_EQ(std::tuple(cells()->selectedCell(), bar()->gradientCounter()), std::tuple(0, 2));
    EXPECT_TRUE(chooser.opened.isEmpty());
    user::click(cells(), {24 * 16 - 1, 8});
    EXPECT_EQ(std::tuple(cells()->selectedCell(), bar()->gradientCounter()), std::tuple(23, 1));
    // Outline, outer and inner bevels, the unpainted corner and the inside of cells 23 and 22.
    const QImage image = cells()->grab().toImage();
    const int points[][2] = {{14, 1}, {0, 15}, {15, 15}, {15, 0}, {13, 1}, {14, 2}, {2, 2}};
    QStringList shown;
    for (const int left : {23 * 16, 22 * 16})
        for (const auto& [x, y] : points)
            shown << QColor(image.pixel(left + x, y)).name().mid(1);
    EXPECT_EQ(shown.join(u' '),
              QStringLiteral("0000ff 0000ff 00ffff 000000 000080 0080ff %1 808080 "
                             "404040 ffffff 000000 000000 c0c0c0 %2")
                  .arg(cells()->cell(23).name().mid(1), cells()->cell(22).name().mid(1)));
}

TEST_F(PaletteBar, ButtonsPromptExceptForTwoMovesAfterAPress) {
    QStatusBar* status = frame().statusBar();
    user::move(bar()->colourButton(), {3, 3});
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Modify the Current Color in the Palette."));
    gradient();
    status->clearMessage();
    for (int i = 0; i < 3; ++i) {  // a move to where the pointer already is never arrives
        user::move(bar()->gradientButton(), {4 + i, 4});
        EXPECT_EQ(status->currentMessage(),
                  i < 2
                      ? QString()
                      : QStringLiteral("Degrade, click the two colors to degrade in the Palette."));
    }
}
