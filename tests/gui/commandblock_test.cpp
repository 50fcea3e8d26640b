#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "app/quorvelview.h"
#include "engine/defaults.h"
#include "files/texturedocument.h"
#include "panels/coloreditor.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/lightingdialog.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"
#include "panels/reflectiondialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <QWheelEvent>

using Field = CCommandBlock::Field;

class CommandBlock : public GuiTest {
protected:
    CCommandBlock& startBlock() {
        start();
        frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame()));
        return *frame().commandBlock();
    }
    CCommandBlock& block() const { return *frame().commandBlock(); }
    CIntegerField* field(Field which) const { return block().field(which); }
    quorvel::TextureParams& record() const { return activeDocument()->current(); }

    // Types `text` over the field's contents, as a user who clicked into it.
    void type(Field which, const QString& text) const {
        CIntegerField* edit = field(which);
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Moves the keyboard focus to another field, which commits the one being left.
    void leave(Field which) const {
        field(which == Field::Detail ? Field::Turbulence : Field::Detail)
            ->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    void typeAndLeave(Field which, const QString& text) const {
        type(which, text);
        leave(which);
    }
    // What the field shows after the record is shown again, as on a window activation.
    QString shownAgain(Field which) const {
        frame().refreshPanels(activeDocument());
        return field(which)->text();
    }
    // A value the user cannot commit yet: the field is left for another window.
    void typeAndLeaveWindow(Field which, const QString& text) const {
        type(which, text);
        block().materialList()->setFocus(Qt::ActiveWindowFocusReason);
    }
};

TEST_F(CommandBlock, ListsHoldTheMaterialsAndReliefsInRecordOrder) {
    startBlock();
    const QStringList materials{
        QStringLiteral("Sky"),        QStringLiteral("Marble"),  QStringLiteral("Wood"),
        QStringLiteral("Brick"),      QStringLiteral("Checker"), QStringLiteral("Checker Texture"),
        QStringLiteral("Reflection"), QStringLiteral("Agate"),   QStringLiteral("Granite"),
        QStringLiteral("Gradient"),   QStringLiteral("Onion"),   QStringLiteral("Leopard"),
        QStringLiteral("Smoke"),      QStringLiteral("Stains")};
    ASSERT_EQ(block().materialList()->count(), materials.size());
    for (int i = 0; i < materials.size(); ++i)
        EXPECT_EQ(block().materialList()->itemText(i), materials.at(i));
    const QStringList reliefs{QStringLiteral("Waves"),
                              QStringLiteral("Ripples"),
                              QStringLiteral("Bumps"),
                              QStringLiteral("Dents"),
                              QStringLiteral("Inverse Dents"),
                              QString(),
                              QString(),
                              QString()};
    ASSERT_EQ(block().reliefList()->count(), reliefs.size());
    for (int i = 0; i < reliefs.size(); ++i)
        EXPECT_EQ(block().reliefList()->itemText(i), reliefs.at(i));
    EXPECT_EQ(block().materialList()->currentText(), QStringLiteral("Marble"));
    EXPECT_EQ(block().reliefList()->currentText(), QStringLiteral("Waves"));
    EXPECT_EQ(block().previewButton()->prompt(), QStringLiteral("Preview the Current Texture."));
    EXPECT_EQ(block().lightingButton()->prompt(),
              QStringLiteral("Set Lighting, Color and Direction Parameters."));
    EXPECT_EQ(block().reflectionButton()->prompt(),
              QStringLiteral("Set Reflection, Color and Brilliance Parameters."));
}

TEST_F(CommandBlock, TypedValuesAreStoredInSinglePrecisionAndShownAgainTruncated) {
    startBlock();
    struct Case {
        Field field;
        const char* typed;
        float stored;
        const char* shown;
    };
    const Case cases[] = {
        {Field::Turbulence, "1", 0.0099999998f, "0"},
        {Field::Turbulence, "10", 0.099999994f, "9"},
        {Field::Turbulence, "37", 0.37f, "37"},
        {Field::Turbulence, "80", 0.79999995f, "79"},
        {Field::Turbulence, "100", 1.0f, "100"},
        {Field::ScaleX, "7", 0.69999999f, "6"},
        {Field::ScaleY, "25", 2.5f, "25"},
        {Field::ReliefScaleX, "1", 0.1f, "1"},
        {Field::ReliefScaleY, "10", 1.0f, "10"},
        {Field::Intensity, "20", 2.0f, "20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        typeAndLeave(c.field, QString::fromUtf8(c.typed));
        const quorvel::TextureParams& r = record();
        const float stored[] = {0.0f,      r.turbulence,    r.scale.x,        r.reliefScale.x,
                                r.scale.y, r.reliefScale.y, r.reliefIntensity};
        EXPECT_EQ(stored[static_cast<int>(c.field)], c.stored);
        EXPECT_EQ(shownAgain(c.field), QString::fromUtf8(c.shown));
    }
    EXPECT_TRUE(activeDocument()->isModified());
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(CommandBlock, EnterCommitsAndDetailIsAcceptedAboveItsSpinRange) {
    startBlock();
    type(Field::Detail, QStringLiteral("200"));
    QTest::keyClick(field(Field::Detail), Qt::Key_Return);
    EXPECT_EQ(record().octaves, 200);
    EXPECT_TRUE(activeDocument()->isModified());

    // The spin stops at 100 even though 200 was accepted, and steps down from there.
    QTest::keyClick(field(Field::Detail), Qt::Key_Up);
    EXPECT_EQ(field(Field::Detail)->text(), QStringLiteral("100"));
    QTest::keyClick(field(Field::Detail), Qt::Key_Down);
    EXPECT_EQ(field(Field::Detail)->text(), QStringLiteral("99"));
    leave(Field::Detail);
    EXPECT_EQ(record().octaves, 99);
}

TEST_F(CommandBlock, OutOfRangeAndNonIntegerValuesAreRefusedAndKeepTheFocus) {
    startBlock();
    const float scaleX = record().scale.x;
    typeAndLeave(Field::ScaleX, QStringLiteral("0"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions.at(0),
              QStringLiteral("Please enter an integer between 1 and 1000."));
    EXPECT_EQ(record().scale.x, scaleX);
    EXPECT_TRUE(field(Field::ScaleX)->hasFocus());
    EXPECT_FALSE(activeDocument()->isModified());

    typeAndLeave(Field::ScaleX, QStringLiteral("12x"));
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.questions.at(1), QStringLiteral("Please enter an integer."));
    EXPECT_EQ(record().scale.x, scaleX);

    // Stepping the spin down to 0 is refused on leaving just the same.
    type(Field::ScaleX, QStringLiteral("1"));
    QTest::keyClick(field(Field::ScaleX), Qt::Key_Down);
    EXPECT_EQ(field(Field::ScaleX)->text(), QStringLiteral("0"));
    leave(Field::ScaleX);
    ASSERT_EQ(dialogs.questions.size(), 3);
    EXPECT_EQ(dialogs.questions.at(2),
              QStringLiteral("Please enter an integer between 1 and 1000."));

    // Detail comes first in the order of checking.
    typeAndLeave(Field::Detail, QStringLiteral("257"));
    EXPECT_EQ(dialogs.questions.last(),
              QStringLiteral("Please enter an integer between 1 and 256."));
    EXPECT_TRUE(field(Field::Detail)->hasFocus());
    EXPECT_EQ(record().octaves, 3);
}

TEST_F(CommandBlock, OneBadFieldBlocksEveryOtherCommitAndBothSwitches) {
    startBlock();
    typeAndLeaveWindow(Field::ScaleY, QStringLiteral("1001"));
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "leaving the window asks nothing";

    typeAndLeave(Field::Turbulence, QStringLiteral("37"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions.at(0),
              QStringLiteral("Please enter an integer between 1 and 1000."));
    EXPECT_TRUE(field(Field::ScaleY)->hasFocus());
    EXPECT_EQ(record().turbulence, 0.8f);

    QComboBox* materials = block().materialList();
    materials->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(materials, Qt::Key_Down);
    EXPECT_EQ(record().material, 1);
    EXPECT_EQ(materials->currentIndex(), 1) << "the list goes back to the record's material";
    QTest::keyClick(block().reliefList(), Qt::Key_Down);
    EXPECT_EQ(record().relief, 0);
    EXPECT_FALSE(activeDocument()->isModified());

    // Corrected, the field and the one typed before it commit.
    typeAndLeave(Field::ScaleY, QStringLiteral("30"));
    EXPECT_EQ(record().scale.y, 3.0f);
    typeAndLeave(Field::Turbulence, QStringLiteral("37"));
    EXPECT_EQ(record().turbulence, 0.37f);
}

TEST_F(CommandBlock, LeavingAnUnchangedFieldStoresNothing) {
    startBlock();
    type(Field::Turbulence, QStringLiteral("10"));
    leave(Field::Turbulence);
    ASSERT_EQ(shownAgain(Field::Turbulence), QStringLiteral("9"));
    activeDocument()->setModified(false);
    const float stored = record().turbulence;

    // Passing through the field must not store the truncated 9.
    field(Field::Turbulence)->setFocus(Qt::TabFocusReason);
    leave(Field::Turbulence);
    EXPECT_EQ(record().turbulence, stored);
    EXPECT_FALSE(activeDocument()->isModified());
}

TEST_F(CommandBlock, MaterialSwitchLoadsPresetsAndKeepsReliefAndLighting) {
    startBlock();
    typeAndLeave(Field::Intensity, QStringLiteral("50"));
    typeAndLeave(Field::Turbulence, QStringLiteral("37"));
    QTest::keyClick(block().reliefList(), Qt::Key_Down);  // Ripples
    record().lightColour = {0.5f, 0.25f, 1.0f, 0.0f};
    record().lightDirection = {-1.0f, 0.5f, 1.6f};
    const quorvel::TextureParams before = record();
    activeDocument()->setModified(false);

    QTest::keyClick(block().materialList(), Qt::Key_Down);  // Wood
    const quorvel::TextureParams& wood = activeDocument()->defaults()[2];
    const quorvel::TextureParams& now = record();
    EXPECT_EQ(now.material, 2);
    EXPECT_EQ(now.turbulence, wood.turbulence);
    EXPECT_EQ(now.octaves, wood.octaves);
    EXPECT_EQ(now.scale.x, wood.scale.x);
    EXPECT_EQ(now.scale.y, wood.scale.y);
    EXPECT_EQ(now.gradientVector.z, wood.gradientVector.z);
    for (int i = 0; i < quorvel::kColourMapEntries; ++i) {
        const auto& entry = now.colourMap.entries[static_cast<size_t>(i)];
        const auto& preset = wood.colourMap.entries[static_cast<size_t>(i)];
        EXPECT_EQ(entry.startColour.g, preset.startColour.g) << i;
        EXPECT_EQ(entry.endColour.b, preset.endColour.b) << i;
        EXPECT_EQ(frame().paletteBar()->cells()->cell(i).red(),
                  int(double(preset.startColour.r) * 255.0f))
            << i;
    }
    EXPECT_EQ(now.relief, 1);
    EXPECT_EQ(now.reliefIntensity, before.reliefIntensity);
    EXPECT_EQ(now.lightColour.g, 0.25f);
    EXPECT_EQ(now.lightDirection.x, -1.0f);
    EXPECT_EQ(now.imageWidth, before.imageWidth);
    EXPECT_EQ(block().fields(), CCommandBlock::fieldsOf(now));
    EXPECT_TRUE(activeDocument()->isModified());
    EXPECT_TRUE(frame().activeChildFrame()->view()->isRendering() ||
                frame().activeChildFrame()->view()->rowsDrawn() > 0);

    // Back to Marble: its presets again, not the 37 typed before.
    QTest::keyClick(block().materialList(), Qt::Key_Up);
    EXPECT_EQ(record().material, 1);
    EXPECT_EQ(record().turbulence, 0.8f);
    EXPECT_EQ(field(Field::Turbulence)->text(), QStringLiteral("80"));
    EXPECT_EQ(record().reliefIntensity, before.reliefIntensity);
}

TEST_F(CommandBlock, EmptyReliefEntriesStoreTheirPosition) {
    startBlock();
    QComboBox* reliefs = block().reliefList();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(reliefs, Qt::Key_Down);
    EXPECT_EQ(reliefs->currentIndex(), 5);
    EXPECT_EQ(record().relief, 5);
    QTest::keyClick(reliefs, Qt::Key_End);
    EXPECT_EQ(record().relief, 7);
    EXPECT_TRUE(activeDocument()->isModified());
}

TEST_F(CommandBlock, PreviewCommitsTheFieldFirstAndRendersTheNewValue) {
    startBlock();
    CQuorvelView* view = frame().activeChildFrame()->view();
    finishRendering();
    const QImage before = view->viewport()->grab().toImage();
    type(Field::Turbulence, QStringLiteral("5"));
    QTest::mouseClick(block().previewButton(), Qt::LeftButton);
    EXPECT_EQ(record().turbulence, 0.049999997f);
    finishRendering();
    EXPECT_NE(view->viewport()->grab().toImage(), before);
}

TEST_F(CommandBlock, NothingHappensWithoutADocument) {
    startBlock();
    ASSERT_TRUE(app->closeAllDocuments());
    settle();
    ASSERT_EQ(activeDocument(), nullptr);
    typeAndLeave(Field::ScaleX, QStringLiteral("0"));
    QTest::keyClick(block().materialList(), Qt::Key_Down);
    EXPECT_EQ(block().materialList()->currentIndex(), 2) << "the list keeps its selection";
    QTest::mouseClick(block().lightingButton(), Qt::LeftButton);
    QTest::mouseClick(block().reflectionButton(), Qt::LeftButton);
    QTest::mouseClick(block().previewButton(), Qt::LeftButton);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(CommandBlock, EditsGoToTheActiveWindowsDocumentWhichItsOtherWindowsShare) {
    startBlock();
    CQuorvelDoc* first = activeDocument();
    frame().actions().action(quorvel::command::kNewWindow)->trigger();
    settle();
    ASSERT_EQ(frame().childFrames().size(), 2);
    ASSERT_EQ(activeDocument(), first);
    typeAndLeave(Field::Turbulence, QStringLiteral("50"));

    frame().actions().action(quorvel::command::kNew)->trigger();
    settle();
    CQuorvelDoc* second = activeDocument();
    ASSERT_NE(second, first);
    typeAndLeave(Field::Turbulence, QStringLiteral("25"));
    EXPECT_EQ(first->current().turbulence, 0.5f);
    EXPECT_EQ(second->current().turbulence, 0.25f);

    frame().mdiArea()->setActiveSubWindow(frame().childFrames().at(0));
    settle();
    EXPECT_EQ(field(Field::Turbulence)->text(), QStringLiteral("50"));
}

TEST_F(CommandBlock, LightingAndReflectionEditTheRecordAndOnlyOkMarksModified) {
    startBlock();
    const float green = record().lightColour.g;
    // Cancel after a drag: the new red stays in the record, the document is not marked.
    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        auto* lighting = qobject_cast<CLightingDialog*>(&dialog);
        EXPECT_NE(lighting, nullptr);
        if (!lighting)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lighting Properties  "));
        QWidget* editor = lighting->colourEditor();
        QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(7, 100));
        QTest::mouseMove(editor, QPoint(7, 60));
        QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(7, 60));
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(block().lightingButton(), Qt::LeftButton);
    ASSERT_TRUE(dialogs.dialogSteps.empty());
    // (115 - 60) x 1/110 x 255 = 127, stored as 127 x 1/255.
    EXPECT_EQ(record().lightColour.r, float(127 * double(1.0f / 255.0f)));
    EXPECT_EQ(record().lightColour.g, green);
    EXPECT_FALSE(activeDocument()->isModified());

    dialogs.dialogSteps.push_back([](QDialog& dialog) {
        auto* reflection = qobject_cast<CReflectionDialog*>(&dialog);
        EXPECT_NE(reflection, nullptr);
        if (!reflection)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Reflection Parameters"));
        QTest::mouseClick(reflection->brillianceEditor(), Qt::LeftButton, {}, QPoint(18, 5));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(block().reflectionButton(), Qt::LeftButton);
    EXPECT_EQ(record().brilliance.y, 199.21568f);
    EXPECT_TRUE(activeDocument()->isModified());
}

TEST_F(CommandBlock, ListsSelectNothingUntilADocumentIsShown) {
    NoDocumentHost host;
    CCommandBlock standalone(host);
    EXPECT_EQ(standalone.materialList()->currentIndex(), -1);
    EXPECT_EQ(standalone.reliefList()->currentIndex(), -1);
    EXPECT_EQ(standalone.field(Field::Detail)->text(), QStringLiteral("3"));
}

TEST_F(CommandBlock, AWheelOverAListNotInUseSwitchesNothing) {
    startBlock();
    field(Field::Detail)->setFocus(Qt::MouseFocusReason);
    QComboBox* materials = block().materialList();
    QWheelEvent wheel(QPointF(5, 5), materials->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(materials, &wheel);
    EXPECT_EQ(materials->currentIndex(), 1);
    EXPECT_EQ(record().material, 1);
    EXPECT_FALSE(activeDocument()->isModified());
}

TEST_F(CommandBlock, AValueTypedBeforeAnotherDocumentBecomesActiveStaysWithItsDocument) {
    startBlock();
    CQuorvelDoc* first = activeDocument();
    type(Field::Turbulence, QStringLiteral("44"));
    // Ctrl+N does not move the focus out of the field.
    frame().actions().action(quorvel::command::kNew)->trigger();
    settle();
    ASSERT_NE(activeDocument(), first);
    EXPECT_EQ(first->current().turbulence, 0.44f);
    EXPECT_TRUE(first->isModified());
    EXPECT_EQ(field(Field::Turbulence)->text(), QStringLiteral("80"));
    EXPECT_EQ(activeDocument()->current().turbulence, 0.8f);
}

TEST_F(CommandBlock, LeavingTheWindowStoresNothingWhileAnotherFieldIsBad) {
    startBlock();
    typeAndLeaveWindow(Field::ScaleY, QStringLiteral("1001"));
    typeAndLeaveWindow(Field::Turbulence, QStringLiteral("37"));
    EXPECT_EQ(record().turbulence, 0.8f);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(CommandBlock, CommandsSeeAValueTypedWithoutLeavingTheField) {
    startBlock();
    type(Field::Turbulence, QStringLiteral("44"));
    // Ctrl+S leaves the focus where it is; the saved document must hold the 44.
    frame().actions().action(quorvel::command::kSave)->trigger();
    quorvel::TextureParams saved;
    ASSERT_TRUE(
        quorvel::readTextureDocument(path(QStringLiteral("Quorve1.qvl")).toStdString(), saved)
            .ok());
    EXPECT_EQ(saved.turbulence, 0.44f);
    EXPECT_TRUE(field(Field::Turbulence)->hasFocus());

    // An invalid field keeps everything back, quietly.
    type(Field::ScaleX, QStringLiteral("0"));
    type(Field::Turbulence, QStringLiteral("55"));
    frame().actions().action(quorvel::command::kSave)->trigger();
    EXPECT_EQ(record().turbulence, 0.44f);
}
