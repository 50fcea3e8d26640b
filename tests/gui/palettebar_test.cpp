#include "tests/gui/guitestsupport.h"

#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>

#include <cstring>

namespace {

using quorvel::ColourMap;

// 1/255 in single precision, as colour bytes are stored in the map.
constexpr double kUnit = 0.003921568859f;

float stored(int byte) { return static_cast<float>(byte * kUnit); }

bool sameMap(const ColourMap& a, const ColourMap& b) {
    return std::memcmp(a.entries.data(), b.entries.data(), sizeof(a.entries)) == 0;
}

// A host without documents, for a strip on its own.
// Remembers what each colour chooser was opened on.
class ChooserRecorder : public ScriptedDialogs {
public:
    QColor chooseColour(QWidget* parent, const QColor& initial) override {
        owners.append(parent);
        initials.append(initial);
        return ScriptedDialogs::chooseColour(parent, initial);
    }

    QList<QWidget*> owners;
    QList<QColor> initials;
};

void moveOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), widget->mapToGlobal(QPointF(4, 4)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

class PaletteBar : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        CUserDialogs::install(&chooser);
    }

    CPaletteBar* bar() const { return frame().paletteBar(); }
    CPaletteCells* cells() const { return bar()->cells(); }
    ColourMap& map() const { return activeDocument()->current().colourMap; }
    void clickCell(int index) const {
        QTest::mouseClick(cells(), Qt::LeftButton, {}, QPoint(16 * index + 8, 8));
    }
    void startGradient() const { QTest::mouseClick(bar()->gradientButton(), Qt::LeftButton); }
    void chooseForCell(int index, const QColor& colour) {
        chooser.colours.push_back(colour);
        QTest::mouseDClick(cells(), Qt::LeftButton, {}, QPoint(16 * index + 8, 8));
    }

    ChooserRecorder chooser;
};

TEST_F(PaletteBar, StripStartsGreyAndShowsTheDocumentsStartColours) {
    NoDocumentHost host;
    CPaletteBar standalone(host);
    for (int i = 0; i < CPaletteCells::kCells; ++i)
        EXPECT_EQ(standalone.cells()->cell(i), QColor((23 - i) * 11, (23 - i) * 11, (23 - i) * 11))
            << "cell " << i;
    EXPECT_EQ(standalone.cells()->selectedCell(), 0);

    start();
    for (int i = 0; i < CPaletteCells::kCells; ++i) {
        const quorvel::Colour& colour = map().entries[static_cast<size_t>(i)].startColour;
        EXPECT_EQ(cells()->cell(i),
                  QColor(int(colour.r * 255.0f), int(colour.g * 255.0f), int(colour.b * 255.0f)))
            << "cell " << i;
    }
}

TEST_F(PaletteBar, GradientWaitsForTwoClicksAndFillsUpFromTheLowerCell) {
    start();
    clickCell(6);
    EXPECT_EQ(cells()->selectedCell(), 6);
    EXPECT_EQ(bar()->gradientCounter(), 0);
    EXPECT_FALSE(activeDocument()->isModified());

    const ColourMap before = map();
    const QColor low = cells()->cell(4);
    const QColor high = cells()->cell(20);
    startGradient();
    EXPECT_EQ(bar()->gradientCounter(), 2);
    clickCell(20);
    EXPECT_EQ(bar()->gradientCounter(), 1);
    EXPECT_EQ(cells()->selectedCell(), 20);
    EXPECT_TRUE(sameMap(map(), before));
    EXPECT_FALSE(activeDocument()->isModified());

    clickCell(4);
    EXPECT_EQ(bar()->gradientCounter(), 0);
    EXPECT_TRUE(activeDocument()->isModified());
    EXPECT_EQ(cells()->cell(4), low);
    EXPECT_EQ(map().entries[4].startColour.r, before.entries[4].startColour.r);
    for (int j = 5; j <= 20; ++j) {
        const double share = (j - 4) / 16.0;
        const QColor cell = cells()->cell(j);
        EXPECT_NEAR(cell.red(), low.red() + (high.red() - low.red()) * share, 1.0) << j;
        EXPECT_NEAR(cell.blue(), low.blue() + (high.blue() - low.blue()) * share, 1.0) << j;
        const auto& entry = map().entries[static_cast<size_t>(j)];
        EXPECT_EQ(map().entries[static_cast<size_t>(j - 1)].endColour.g, entry.startColour.g);
        EXPECT_NEAR(entry.startColour.g * 255.0, cell.green(), 1.0) << j;
    }
    for (int j : {0, 3, 21, 23}) {
        EXPECT_EQ(std::memcmp(&map().entries[static_cast<size_t>(j)],
                              &before.entries[static_cast<size_t>(j)], sizeof(before.entries[0])),
                  0)
            << "entry " << j;
    }
    EXPECT_EQ(map().entries[20].endColour.r, before.entries[20].endColour.r);
}

TEST_F(PaletteBar, CellsAndMapRunOnSeparateSumsOfTheStep) {
    start();
    chooseForCell(10, QColor(0, 100, 255));
    chooseForCell(13, QColor(100, 0, 255));
    startGradient();
    clickCell(10);
    clickCell(13);

    EXPECT_EQ(cells()->cell(11), QColor(33, 66, 255));
    EXPECT_EQ(cells()->cell(12), QColor(66, 33, 255));
    EXPECT_EQ(cells()->cell(13), QColor(99, 0, 255));
    const auto& entries = map().entries;
    EXPECT_EQ(entries[11].startColour.r, 0x1.0bb662p-3f);
    EXPECT_EQ(entries[12].startColour.r, 0x1.0bb662p-2f);
    EXPECT_EQ(entries[13].startColour.r, 0x1.919194p-2f);
    EXPECT_EQ(entries[11].startColour.g, 0x1.0bb664p-2f);
    EXPECT_EQ(entries[12].startColour.g, 0x1.0bb666p-3f);
    EXPECT_EQ(entries[13].startColour.g, 0x1p-25f);
    EXPECT_EQ(entries[13].startColour.b, stored(255));
    EXPECT_EQ(entries[12].endColour.g, entries[13].startColour.g);
}

TEST_F(PaletteBar, FillIntoTheLastCellEndsTheLastEntryToo) {
    start();
    map().entries[22].startColour = {0.0f, 0.0f, 0.0f, 0.25f};
    map().entries[23].startColour = {stored(200), stored(100), stored(50), 0.5f};
    map().entries[23].endColour = {0.9f, 0.9f, 0.9f, 0.75f};
    cells()->showColourMap(map());
    startGradient();
    clickCell(23);
    clickCell(22);

    const quorvel::Colour end = map().entries[23].endColour;
    EXPECT_EQ(cells()->cell(23), QColor(200, 100, 50));
    EXPECT_EQ(end.r, map().entries[23].startColour.r);
    EXPECT_EQ(end.g, map().entries[23].startColour.g);
    EXPECT_EQ(end.b, map().entries[23].startColour.b);
    EXPECT_EQ(end.r, map().entries[22].endColour.r);
    EXPECT_EQ(end.a, 0.75f);
    EXPECT_EQ(map().entries[23].startColour.a, 0.5f);
}

TEST_F(PaletteBar, SameCellTwiceOnlyMarksModifiedAndGradientRestarts) {
    start();
    const ColourMap before = map();
    startGradient();
    clickCell(7);
    startGradient();
    EXPECT_EQ(bar()->gradientCounter(), 2);
    clickCell(9);
    clickCell(9);
    EXPECT_EQ(bar()->gradientCounter(), 0);
    EXPECT_TRUE(activeDocument()->isModified());
    EXPECT_TRUE(sameMap(map(), before));
    clickCell(12);
    EXPECT_EQ(bar()->gradientCounter(), 0);
    EXPECT_TRUE(sameMap(map(), before));
}

TEST_F(PaletteBar, ChosenColourGoesIntoTheCellAndTheChainedEntries) {
    start();
    ColourMap expected = map();
    clickCell(0);
    chooser.colours.push_back(QColor(10, 20, 30));
    QTest::mouseClick(bar()->colourButton(), Qt::LeftButton);
    ASSERT_EQ(chooser.owners.size(), 1);
    EXPECT_EQ(chooser.owners[0], bar());
    EXPECT_EQ(cells()->cell(0), QColor(10, 20, 30));
    expected.entries[0].startColour = {stored(10), stored(20), stored(30),
                                       expected.entries[0].startColour.a};
    EXPECT_TRUE(sameMap(map(), expected));
    EXPECT_TRUE(activeDocument()->isModified());

    clickCell(23);
    chooser.colours.push_back(QColor(255, 1, 254));
    QTest::mouseClick(bar()->colourButton(), Qt::LeftButton);
    const quorvel::Colour chosen{stored(255), stored(1), stored(254), 0.0f};
    for (quorvel::Colour* colour :
         {&expected.entries[22].endColour, &expected.entries[23].startColour,
          &expected.entries[23].endColour})
        *colour = {chosen.r, chosen.g, chosen.b, colour->a};
    EXPECT_TRUE(sameMap(map(), expected));
    cells()->showColourMap(map());
    EXPECT_EQ(cells()->cell(23), QColor(255, 1, 254));
}

TEST_F(PaletteBar, CancelledChooserChangesNothing) {
    start();
    const ColourMap before = map();
    const QColor cell = cells()->cell(0);
    chooser.colours.push_back(QColor());
    QTest::mouseClick(bar()->colourButton(), Qt::LeftButton);
    EXPECT_EQ(chooser.initials.size(), 1);
    EXPECT_EQ(cells()->cell(0), cell);
    EXPECT_TRUE(sameMap(map(), before));
    EXPECT_FALSE(activeDocument()->isModified());
}

TEST_F(PaletteBar, DoubleClickOpensTheChooserOnTheClickedCell) {
    start();
    const QColor old = cells()->cell(9);
    startGradient();
    chooseForCell(9, QColor(1, 2, 3));
    ASSERT_EQ(chooser.initials.size(), 1);
    EXPECT_EQ(chooser.initials[0], old);
    EXPECT_EQ(chooser.owners[0], cells());
    EXPECT_EQ(cells()->selectedCell(), 9);
    EXPECT_EQ(bar()->gradientCounter(), 2);
    EXPECT_EQ(cells()->cell(9), QColor(1, 2, 3));
    EXPECT_EQ(map().entries[8].endColour.b, stored(3));
    EXPECT_EQ(map().entries[9].startColour.b, stored(3));
}

TEST_F(PaletteBar, ClicksRightOfTheLastCellAreIgnored) {
    start();
    cells()->setFixedWidth(25 * 16);
    startGradient();
    const QPoint beyond(24 * 16 + 2, 8);
    QTest::mouseClick(cells(), Qt::LeftButton, {}, beyond);
    QTest::mouseDClick(cells(), Qt::LeftButton, {}, beyond);
    EXPECT_EQ(cells()->selectedCell(), 0);
    EXPECT_EQ(bar()->gradientCounter(), 2);
    EXPECT_TRUE(chooser.owners.isEmpty());

    QTest::mouseClick(cells(), Qt::LeftButton, {}, QPoint(24 * 16 - 1, 8));
    EXPECT_EQ(cells()->selectedCell(), 23);
    EXPECT_EQ(bar()->gradientCounter(), 1);
}

TEST_F(PaletteBar, WithoutADocumentOnlyGradientActsAndItsFillWaitsForOne) {
    start();
    ASSERT_TRUE(app->closeAllDocuments());
    settle();
    ASSERT_EQ(activeDocument(), nullptr);
    clickCell(5);
    QTest::mouseDClick(cells(), Qt::LeftButton, {}, QPoint(16 * 6 + 8, 8));
    QTest::mouseClick(bar()->colourButton(), Qt::LeftButton);
    EXPECT_EQ(cells()->selectedCell(), 0);
    EXPECT_TRUE(chooser.owners.isEmpty());
    startGradient();
    clickCell(5);
    EXPECT_EQ(bar()->gradientCounter(), 2);

    frame().actions().action(quorvel::command::kNew)->trigger();
    settle();
    ASSERT_NE(activeDocument(), nullptr);
    const QColor low = cells()->cell(2);
    clickCell(2);
    clickCell(4);
    EXPECT_EQ(bar()->gradientCounter(), 0);
    EXPECT_TRUE(activeDocument()->isModified());
    EXPECT_EQ(cells()->cell(2), low);
}

TEST_F(PaletteBar, ButtonsFollowTheStripAndPromptExceptTwoMovesAfterAPress) {
    start();
    EXPECT_LT(cells()->x(), bar()->colourButton()->x());
    EXPECT_LT(bar()->colourButton()->x(), bar()->gradientButton()->x());
    QStatusBar* status = frame().statusBar();
    const QString gradientPrompt =
        QStringLiteral("Degrade, click the two colors to degrade in the Palette.");

    moveOver(bar()->colourButton());
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Modify the Current Color in the Palette."));
    moveOver(bar()->gradientButton());
    EXPECT_EQ(status->currentMessage(), gradientPrompt);

    startGradient();
    status->clearMessage();
    moveOver(bar()->gradientButton());
    moveOver(bar()->gradientButton());
    EXPECT_EQ(status->currentMessage(), QString());
    moveOver(bar()->gradientButton());
    EXPECT_EQ(status->currentMessage(), gradientPrompt);
}

TEST_F(PaletteBar, CellsPaintTheirBevelInTheSelectionsColours) {
    CPaletteCells strip;
    strip.setCell(3, 10, 200, 30);
    strip.setCell(4, 200, 10, 30);
    strip.setSelectedCell(3);
    const QImage image = strip.grab().toImage();
    const auto at = [&image](int x, int y) { return QColor(image.pixel(x, y)).name(); };

    struct Expected {
        int cell;
        const char* outline;
        const char* outerTopLeft;
        const char* outerBottomRight;
        const char* innerTopLeft;
        const char* innerBottomRight;
        const char* inside;
    };
    for (const Expected& e :
         {Expected{3, "#0000ff", "#0000ff", "#00ffff", "#000080", "#0080ff", "#0ac81e"},
          Expected{4, "#808080", "#404040", "#ffffff", "#000000", "#c0c0c0", "#c80a1e"}}) {
        SCOPED_TRACE(e.cell);
        const int left = 16 * e.cell;
        EXPECT_EQ(at(left + 14, 1), QString::fromLatin1(e.outline));
        EXPECT_EQ(at(left, 0), QString::fromLatin1(e.outerTopLeft));
        EXPECT_EQ(at(left, 15), QString::fromLatin1(e.outerTopLeft));
        EXPECT_EQ(at(left + 14, 0), QString::fromLatin1(e.outerTopLeft));
        EXPECT_EQ(at(left + 15, 15), QString::fromLatin1(e.outerBottomRight));
        EXPECT_EQ(at(left + 15, 0), QStringLiteral("#000000"));
        EXPECT_EQ(at(left + 1, 14), QString::fromLatin1(e.innerTopLeft));
        EXPECT_EQ(at(left + 13, 1), QString::fromLatin1(e.innerTopLeft));
        EXPECT_EQ(at(left + 1, 15), QString::fromLatin1(e.innerBottomRight));
        EXPECT_EQ(at(left + 14, 2), QString::fromLatin1(e.innerBottomRight));
        EXPECT_EQ(at(left + 2, 2), QString::fromLatin1(e.inside));
        EXPECT_EQ(at(left + 13, 14), QString::fromLatin1(e.inside));
    }
}
