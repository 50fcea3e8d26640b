#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "engine/seamless.h"
#include "app/quorvelview.h"
#include "files/texturedocument.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/promptbutton.h"
#include "panels/seamlessbox.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QUndoStack>
#include <QComboBox>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

namespace id = quorvel::command;
using Field = CCommandBlock::Field;
using enum CCommandBlock::Field;

namespace {

QString operator""_q(const char* text, size_t) { return QString::fromUtf8(text); }

// The record value behind a field, in the order of CCommandBlock::Field.
float stored(const quorvel::TextureParams& r, Field which) {
    return std::array{float(r.octaves), r.turbulence,    r.scale.x,        r.reliefScale.x,
                      r.scale.y,        r.reliefScale.y, r.reliefIntensity}[size_t(which)];
}

}  // namespace

class CommandBlock : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    CCommandBlock& block() const { return *frame().commandBlock(); }
    CIntegerField* field(Field which) const { return block().field(which); }
    const quorvel::TextureParams& record() const { return activeDocument()->record(); }
    CCommandBlock::Fields fields() const { return CCommandBlock::fieldsOf(record()); }
    bool modified() const { return activeDocument() && activeDocument()->isModified(); }
    QAction* command(int which) const { return frame().actions().action(which); }
    void enter(Field which, const QString& text) const {
        user::typeInto(field(which), text);
        user::key(field(which), Qt::Key_Tab);
    }
    // Opens the list and rests the pointer on entry `row`.
    QPoint point(QComboBox* list, int row) const {
        user::click(list);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list->view()->window()));
        const QPoint at = list->view()->visualRect(list->model()->index(row, 0)).center();
        user::move(list->view()->viewport(), at);
        return at;
    }
    void pick(QComboBox* list, int row) const { user::pick(list, row); }
    // A click outside closes an open list or menu without choosing.
    void dismiss() const { user::click(frame().statusBar()); }
};

TEST_F(CommandBlock, TypedValuesAreStoredInSinglePrecisionAndShownAgainAsTyped) {
    // Field, typed, the key that commits it, stored, shown again (the nearest whole number: the
    // single-precision factors store a hair below what was typed).
    // clang-format off
    const std::tuple<Field, int, Qt::Key, float, int> rows[] = {
        {Turbulence, 1, Qt::Key_Tab, 0.01f, 1}, {Turbulence, 10, Qt::Key_Tab, 0.099999994f, 10},
        {Turbulence, 100, Qt::Key_Tab, 1.0f, 100}, {ScaleX, 7, Qt::Key_Tab, 0.69999999f, 7},
        {ScaleY, 25, Qt::Key_Tab, 2.5f, 25}, {ReliefScaleX, 1, Qt::Key_Tab, 0.1f, 1},
        {ReliefScaleY, 30, Qt::Key_Tab, 3.0f, 30}, {Intensity, 20, Qt::Key_Tab, 2.0f, 20},
        {Detail, 200, Qt::Key_Return, 200.0f, 200}, {Detail, 250, Qt::Key_Enter, 250.0f, 250}};
    // clang-format on
    for (const auto& [which, typed, key, value, shown] : rows) {
        SCOPED_TRACE(field(which)->accessibleName().toStdString() + " " + std::to_string(typed));
        user::typeInto(field(which), QString::number(typed));
        user::key(field(which), key);
        EXPECT_EQ(stored(record(), which), value);
        // A second window shows the record again; passing through the field then must not
        // store what it shows.
        user::choose(&frame(), command(id::kNewWindow));
        EXPECT_EQ(field(which)->text(), QString::number(shown));
        user::click(field(which));
        user::key(field(which), Qt::Key_Tab);
        EXPECT_EQ(stored(record(), which), value);
    }
    EXPECT_TRUE(modified() && dialogs.questions.isEmpty());
    // The spin stops at 100 although 250 was accepted, and steps down from there.
    user::click(field(Detail));
    user::key(field(Detail), Qt::Key_Up);
    EXPECT_EQ(field(Detail)->text(), "100"_q);
    user::key(field(Detail), Qt::Key_Down);
    user::key(field(Detail), Qt::Key_Return);
    EXPECT_EQ(record().octaves, 99);
}

TEST_F(CommandBlock, BadValuesAreRefusedKeepTheFocusAndHoldBackEveryOtherCommit) {
    const std::tuple<Field, const char*, const char*> rows[] = {
        {ScaleX, "0", "Please enter an integer between 1 and 1000."},
        {ReliefScaleY, "12x", "Please enter an integer."},
        {Detail, "257", "Please enter an integer between 1 and 256."},
        {Turbulence, "101", "Please enter an integer between 0 and 100."}};
    const CCommandBlock::Fields before = fields();
    for (const auto& [which, typed, message] : rows) {
        const QString shown = field(which)->text();
        user::typeInto(field(which), QString::fromUtf8(typed));
        user::key(field(which), Qt::Key_Tab);
        EXPECT_EQ(dialogs.questions, QStringList{QString::fromUtf8(message)});
        dialogs.questions.clear();
        EXPECT_EQ(std::tuple(fields(), modified()), std::tuple(before, false));
        // The field has the keys again with its text selected: typing replaces it.
        user::type(&frame(), shown);
        EXPECT_EQ(field(which)->text(), shown);
        user::key(&frame(), Qt::Key_Tab);
    }
    user::typeInto(field(ScaleY), "1001"_q);
    // A menu takes the focus without a word, as leaving the window does.
    QMenuBar* bar = frame().menuBar();
    user::click(bar, bar->actionGeometry(bar->actions().first()).center());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(bar->actions().first()->menu()));
    dismiss();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    user::click(field(Turbulence));
    pick(block().materialList(), 2);
    pick(block().reliefList(), 3);
    EXPECT_EQ(std::tuple(fields(), modified()), std::tuple(before, false));
    EXPECT_EQ(block().materialList()->currentIndex(), 1) << "the lists show the record again";
    EXPECT_EQ(block().reliefList()->currentIndex(), 0);
    dialogs.questions.removeDuplicates();
    EXPECT_EQ(dialogs.questions, QStringList{"Please enter an integer between 1 and 1000."_q});
}

TEST_F(CommandBlock, AMaterialChosenNotPointedAtNorWheeledLoadsItsPresetsKeepingTheRelief) {
    enter(Intensity, "50"_q);
    enter(Turbulence, "37"_q);
    for (const int relief : {4, 1}) {
        pick(block().reliefList(), relief);
        EXPECT_EQ(record().relief, relief);
    }
    changeRecord([](quorvel::TextureParams& record) { record.lightDirection = {-1.0f, 0.5f, 1.6f}; });
    QComboBox* materials = block().materialList();
    point(materials, 3);
    dismiss();
    user::click(field(Detail));
    user::wheel(materials, -120);
    EXPECT_EQ(std::tuple(int(record().material), modified()), std::tuple(1, false));
    pick(materials, materials->findText("Wood"_q));
    const quorvel::TextureParams& wood = activeDocument()->defaults()[2];
    CCommandBlock::Fields expected = CCommandBlock::fieldsOf(wood);
    expected.relief = 1;
    expected.intensity = 50;
    EXPECT_EQ(std::tuple(fields(), block().fields(), modified()),
              std::tuple(expected, expected, true));
    EXPECT_EQ(std::tuple(record().gradientVector.z, record().lightDirection.x),
              std::tuple(wood.gradientVector.z, -1.0f));
    for (size_t i = 0; i < quorvel::kColourMapEntries; ++i) {  // the palette shows its colours
        const quorvel::Colour& colour = wood.colourMap.entries[i].startColour;
        EXPECT_EQ(frame().paletteBar()->cells()->cell(int(i)),
                  QColor(int(colour.r * 255.0f), int(colour.g * 255.0f), int(colour.b * 255.0f)));
    }
    user::wheel(materials, -120);  // the list in use now
    EXPECT_EQ(record().material, 3);
    pick(materials, 1);
    EXPECT_EQ(field(Turbulence)->text(), "80"_q) << "Marble's presets, not the 37 typed";
}

TEST_F(CommandBlock, SeamlessIsOneUndoableEditByMouseOrKeysAndNamesTheWholeCellScales) {
    CSeamlessBox* box = block().seamlessBox();
    // Material, scales typed, what the note names in the fields' units (a Checker keeps pairs
    // of cells, so that its first and last cells differ).
    const std::tuple<int, QString, QString, QString> rows[] = {
        {1, "27"_q, "14"_q, "Tiles at scale 30 \u00d7 10"_q},
        {4, "30"_q, "50"_q, "Tiles at scale 40 \u00d7 60"_q}};
    for (const auto& [material, x, y, note] : rows) {
        pick(block().materialList(), material);
        enter(ScaleX, x);
        enter(ScaleY, y);
        EXPECT_TRUE(box->scaleNote()->text().startsWith(note))
            << box->scaleNote()->text().toStdString();
        EXPECT_FALSE(box->scaleNote()->isEnabled()) << "greyed while off";
    }
    const int steps = activeDocument()->undoStack()->count();
    user::click(box->checkBox());
    EXPECT_TRUE(quorvel::isSeamless(record()) && box->scaleNote()->isEnabled());
    EXPECT_EQ(command(id::kUndo)->text(), "&Undo Seamless"_q);
    // The keyboard reaches it after the last relief field; Space turns it off again.
    user::click(field(ReliefScaleY));
    user::key(field(ReliefScaleY), Qt::Key_Tab);
    ASSERT_TRUE(box->checkBox()->hasFocus());
    user::key(box->checkBox(), Qt::Key_Space);
    EXPECT_FALSE(quorvel::isSeamless(record()) || box->isChecked());
    EXPECT_EQ(activeDocument()->undoStack()->count(), steps + 2);
    user::key(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(quorvel::isSeamless(record()) && box->isChecked());
    user::key(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(quorvel::isSeamless(record()) || box->isChecked());
}

TEST_F(CommandBlock, PreviewCommitsTheTypedValueAndRendersIt) {
    CQuorvelView* view = frame().activeChildFrame()->view();
    finishRendering();
    const QImage before = view->viewport()->grab().toImage();
    user::typeInto(field(Turbulence), "5"_q);
    user::click(block().previewButton());
    EXPECT_EQ(record().turbulence, 0.049999997f);
    finishRendering();
    EXPECT_NE(view->viewport()->grab().toImage(), before);
}

TEST_F(CommandBlock, WithoutADocumentNothingIsStoredOrOpenedAndAGradientWaitsForOne) {
    user::choose(&frame(), command(id::kClose));
    ASSERT_EQ(activeDocument(), nullptr);
    enter(ScaleX, "0"_q);
    pick(block().materialList(), 2);
    CPaletteBar* palette = frame().paletteBar();
    for (CPromptButton* button :
         {block().lightingButton(), block().reflectionButton(), block().previewButton(),
          palette->colourButton(), palette->gradientButton()})
        user::click(button);
    user::doubleClick(palette->cells(), {6 * 16 + 8, 8});
    EXPECT_EQ(std::tuple(palette->cells()->selectedCell(), palette->gradientCounter()),
              std::tuple(0, 2));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    user::shortcut(&frame(), command(id::kNew));
    const QColor low = palette->cells()->cell(2);
    for (const int cell : {2, 4})
        user::click(palette->cells(), {cell * 16 + 8, 8});
    EXPECT_EQ(std::tuple(palette->gradientCounter(), modified(), palette->cells()->cell(2)),
              std::tuple(0, true, low));
}

TEST_F(CommandBlock, ShortcutsSeeTheValueStillInTheFieldAndEditsGoToTheActiveTexture) {
    const auto saved = [this](const QString& name) {
        quorvel::TextureParams file;
        EXPECT_TRUE(quorvel::readTextureDocument(path(name).toStdString(), file).ok());
        return file;
    };
    CQuorvelDoc* first = activeDocument();
    user::choose(&frame(), command(id::kNewWindow));
    user::typeInto(field(Turbulence), "44"_q);
    user::shortcut(&frame(), command(id::kSave));
    EXPECT_EQ(saved("Quorve1.qvl"_q).turbulence, 0.44f);
    user::typeInto(field(Turbulence), "50"_q);
    user::shortcut(&frame(), command(id::kNew));
    ASSERT_NE(activeDocument(), first);
    EXPECT_EQ(std::tuple(first->record().turbulence, first->isModified()), std::tuple(0.5f, true));
    EXPECT_EQ(field(Turbulence)->text(), "80"_q);
    // An invalid field holds everything back, quietly.
    enter(Turbulence, "25"_q);
    user::typeInto(field(ScaleX), "0"_q);
    user::shortcut(&frame(), command(id::kSave));
    EXPECT_EQ(saved("Quorve2.qvl"_q).scale.x, first->record().scale.x);
    EXPECT_EQ(saved("Quorve2.qvl"_q).turbulence, 0.25f);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}
