#include "tests/gui/guitestsupport.h"

#include "app/autosaver.h"
#include "app/childframe.h"
#include "app/clipboardcommands.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/imageformatdialog.h"
#include "app/mainframe.h"
#include "app/quorvelview.h"
#include "app/recoverydialog.h"
#include "document/quorveldoc.h"
#include "engine/pixel.h"
#include "panels/coloreditor.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/lightdirectionpicker.h"
#include "panels/lightingdialog.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/promptbutton.h"
#include "panels/reflectiondialog.h"
#include "panels/seamlessbox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QUndoStack>

namespace id = quorvel::command;
using Field = CCommandBlock::Field;
using namespace Qt::StringLiterals;

namespace {

void pressOk(QDialog& dialog) {
    user::click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
}

// What the user does in each dialog before OK.
void lightingDrag(QDialog& dialog) {
    auto& lighting = static_cast<CLightingDialog&>(dialog);
    user::drag(lighting.picker(), {20, 30}, {90, 100});
    user::click(lighting.colourEditor(), {18, 60});
    pressOk(dialog);
}

void brillianceClick(QDialog& dialog) {
    user::click(static_cast<CReflectionDialog&>(dialog).brillianceEditor(), {7, 40});
    pressOk(dialog);
}

void formatPick(QDialog& dialog) {
    for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
        if (button->text() == CImageFormatDialog::label(1))
            user::click(button);
    pressOk(dialog);
}

}  // namespace

class Editing : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // The recovery test's child keeps its autosaves where the test looks for them.
        if (qEnvironmentVariableIsSet("QUORVEL_RECOVERY_DATA"))
            qputenv("XDG_DATA_HOME", qgetenv("QUORVEL_RECOVERY_DATA"));
        start();
    }
    CCommandBlock& block() const { return *frame().commandBlock(); }
    CPaletteCells* cells() const { return frame().paletteBar()->cells(); }
    QAction* command(int which) const { return frame().actions().action(which); }
    QByteArray bytes() const { return recordBytes(activeDocument()->record()); }
    CQuorvelView* view() const { return frame().activeChildFrame()->view(); }
    // The command block and the palette show the document's record (after undo or redo).
    bool panelsShowTheRecord() const {
        const quorvel::TextureParams& record = activeDocument()->record();
        CPaletteCells probe;
        probe.showColourMap(record.colourMap);
        bool same = block().fields() == CCommandBlock::fieldsOf(record);
        for (int i = 0; i < CPaletteCells::kCells; ++i)
            same = same && cells()->cell(i) == probe.cell(i);
        return same;
    }
    void enter(Field which, const char* text) const {
        user::typeInto(block().field(which), QString::fromUtf8(text));
        user::key(block().field(which), Qt::Key_Return);
    }
    void inDialog(std::function<void(QDialog&)> step, QWidget* opener) {
        dialogs.dialogSteps.push_back(std::move(step));
        user::click(opener);
    }
    void clickCell(int cell) const { user::click(cells(), {16 * cell + 8, 8}); }
    // The view shows exactly the engine's pixels for the document's record.
    bool viewShowsTheRecord() const {
        const quorvel::TextureParams& record = activeDocument()->record();
        const QImage picture = view()->viewport()->grab().toImage();
        const auto sampling = quorvel::Sampling::image(record.imageWidth, record.imageHeight);
        std::vector<uint8_t> rgb(3);
        for (const QPoint at : {QPoint(3, 4), QPoint(100, 50), QPoint(150, 110)}) {
            quorvel::renderRow(record, sampling, at.y(), at.x(), at.x() + 1, rgb);
            if (picture.pixelColor(at) != QColor(rgb[0], rgb[1], rgb[2]))
                return false;
        }
        return true;
    }
};

TEST_F(Editing, EveryKindOfEditIsOneNamedCommandUndoneAndRedoneByteForByte) {
    // A hand-made colour first, so that undoing a material's presets must bring it back.
    dialogs.colours.push_back(QColor(250, 10, 10));
    user::doubleClick(cells(), {16 * 4 + 8, 8});
    const quorvel::TextureParams wood = activeDocument()->defaults()[2];
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"Material", [&] { user::pick(block().materialList(), 2); }},
        {"Relief", [&] { user::pick(block().reliefList(), 3); }},
        {"Seamless", [&] { user::click(block().seamlessBox()->checkBox()); }},
        {"Detail", [&] { enter(Field::Detail, "7"); }},
        {"Turbulence", [&] { enter(Field::Turbulence, "37"); }},
        {"Scale X", [&] { enter(Field::ScaleX, "25"); }},
        {"Scale Y", [&] { enter(Field::ScaleY, "3"); }},
        {"Relief Scale X", [&] { enter(Field::ReliefScaleX, "40"); }},
        {"Relief Scale Y", [&] { enter(Field::ReliefScaleY, "41"); }},
        {"Relief Intensity", [&] { enter(Field::Intensity, "12"); }},
        {"Palette Color",
         [&] {
             dialogs.colours.push_back(QColor(1, 2, 3));
             user::doubleClick(cells(), {16 * 9 + 8, 8});
         }},
        {"Gradient",
         [&] {
             user::click(frame().paletteBar()->gradientButton());
             clickCell(2);
             clickCell(12);
         }},
        {"Lighting", [&] { inDialog(lightingDrag, block().lightingButton()); }},
        {"Reflection", [&] { inDialog(brillianceClick, block().reflectionButton()); }},
        {"Image Format",
         [&] {
             dialogs.dialogSteps.push_back(formatPick);
             user::choose(&frame(), command(id::kImageFormat));
         }},
        {"Move Texture", [&] { user::drag(view()->viewport(), {10, 10}, {60, 45}); }},
        {"Paste",
         [&] {
             // Copy gives other programs the image and Quorvel the texture.
             user::shortcut(&frame(), command(id::kCopy));
             const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
             EXPECT_EQ(copied->data(CClipboardCommands::kTextureMimeType), bytes());
             EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(),
                       QSize(activeDocument()->width(), activeDocument()->height()));
             auto* data = new QMimeData;
             data->setData(CClipboardCommands::kTextureMimeType, recordBytes(wood));
             QGuiApplication::clipboard()->setMimeData(data);
             user::shortcut(&frame(), command(id::kPaste));
         }},
    };
    int index = 0;
    for (const auto& [name, act] : edits) {
        SCOPED_TRACE(name);
        const QByteArray before = bytes();
        const int steps = activeDocument()->undoStack()->count();
        act();
        settle();
        const QByteArray after = bytes();
        EXPECT_NE(after, before);
        EXPECT_EQ(activeDocument()->undoStack()->count(), steps + 1) << "one command";
        EXPECT_EQ(command(id::kUndo)->text(), u"&Undo "_s + QString::fromUtf8(name));
        // Undo by menu, Ctrl+Z or Alt+Backspace; Redo by Ctrl+Y or Ctrl+Shift+Z.
        if (index % 3 == 0)
            user::choose(&frame(), command(id::kUndo));
        else
            user::key(&frame(), index % 3 == 1 ? Qt::Key_Z : Qt::Key_Backspace,
                      index % 3 == 1 ? Qt::ControlModifier : Qt::AltModifier);
        EXPECT_EQ(bytes(), before);
        EXPECT_TRUE(panelsShowTheRecord());
        EXPECT_EQ(command(id::kRedo)->text(), u"&Redo "_s + QString::fromUtf8(name));
        user::key(&frame(), index % 2 ? Qt::Key_Y : Qt::Key_Z,
                  index % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(bytes(), after);
        EXPECT_TRUE(panelsShowTheRecord());
        ++index;
    }
    // Picking the selected material or relief again changes nothing and is no command: the
    // hand-made colour stays.
    dialogs.colours.push_back(QColor(9, 99, 199));
    user::doubleClick(cells(), {16 * 6 + 8, 8});
    const QByteArray mine = bytes();
    const int steps = activeDocument()->undoStack()->count();
    user::pick(block().materialList(), block().materialList()->currentIndex());
    user::pick(block().reliefList(), block().reliefList()->currentIndex());
    EXPECT_EQ(std::pair(bytes(), activeDocument()->undoStack()->count()), std::pair(mine, steps));
    // Everything undone, the first colour included: nothing left to undo, the texture unmodified.
    while (command(id::kUndo)->isEnabled())
        user::key(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(command(id::kUndo)->text(), u"&Undo"_s);
    EXPECT_FALSE(activeDocument()->isModified());
}

TEST_F(Editing, TheTitleMarksAModifiedTextureAndAClosedWindowAfterSaveAsksNothing) {
    enter(Field::Turbulence, "55");
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - Quorve1*"_s);
    EXPECT_EQ(frame().activeChildFrame()->windowTitle(), u"Quorve1*"_s);
    // An image export leaves it modified; a texture document saves it.
    dialogs.saveChoices = {path(u"picture.png"_s), path(u"mine.qvl"_s)};
    user::choose(&frame(), command(id::kSaveAs));
    EXPECT_TRUE(activeDocument()->isModified());
    user::choose(&frame(), command(id::kSaveAs));
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - mine.qvl"_s);
    // Back at the saved point by undo and redo: unmodified again.
    user::key(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(activeDocument()->isModified());
    user::key(&frame(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(activeDocument()->isModified());
    user::click(view()->viewport(), {2, 2});
    user::key(&frame(), Qt::Key_F4, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(frame().childFrames().isEmpty());
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
}

TEST_F(Editing, AnEditReachesTheViewWithoutPreviewCoarseFirstThenExact) {
    finishRendering();
    ASSERT_TRUE(viewShowsTheRecord());
    enter(Field::Turbulence, "5");
    // The edit has started a render of its own; it ends with the exact pixels.
    EXPECT_TRUE(view()->isRendering());
    finishRendering();
    EXPECT_TRUE(viewShowsTheRecord());
    // A light dragged in the dialog shows in the view before OK.
    bool liveBeforeOk = false;
    inDialog(
        [&](QDialog& dialog) {
            const QByteArray before = bytes();
            user::drag(static_cast<CLightingDialog&>(dialog).picker(), {57, 61}, {10, 20});
            liveBeforeOk = bytes() != before && view()->isRendering();
            pressOk(dialog);
        },
        block().lightingButton());
    EXPECT_TRUE(liveBeforeOk);
    finishRendering();
    EXPECT_TRUE(viewShowsTheRecord());
}

// The program the recovery test kills: it edits a texture, lets the autosave write it and
// waits. It runs only when the test below starts it.
TEST_F(Editing, RecoveryChild) {
    if (qEnvironmentVariableIsEmpty("QUORVEL_RECOVERY_CHILD"))
        GTEST_SKIP() << "runs as the recovery test's child process";
    dialogs.colours.push_back(QColor(12, 34, 56));
    user::doubleClick(cells(), {16 * 3 + 8, 8});
    user::pick(block().materialList(), 8);
    enter(Field::Turbulence, "61");
    app->autosaver()->saveNow();
    app->autosaver()->flush();
    QFile expected(qEnvironmentVariable("QUORVEL_RECOVERY_CHILD"));
    ASSERT_TRUE(expected.open(QIODevice::WriteOnly));
    expected.write(bytes());
    expected.close();
    waitUntil([] { return false; }, 60000);
}

TEST_F(Editing, ADocumentOfAKilledProgramIsOfferedAndRecoveredByteForByte) {
    app.reset();
    QProcess child;
    const QString expectedFile = path(u"expected.bin"_s);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QUORVEL_RECOVERY_CHILD"_s, expectedFile);
    environment.insert(u"QUORVEL_RECOVERY_DATA"_s, qEnvironmentVariable("XDG_DATA_HOME"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--gtest_filter=Editing.RecoveryChild"_s});
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(expectedFile).size() > 0; }, 30000));
    // A second program while the first still runs takes nothing of it.
    start();
    EXPECT_TRUE(dialogs.dialogSteps.empty());
    app.reset();
    child.kill();  // SIGKILL: no clean-up of any kind
    ASSERT_TRUE(child.waitForFinished(10000));
    // Later keeps the files for the next start, which recovers them.
    std::optional<QStringList> offered;
    for (const auto choice : {CRecoveryDialog::Choice::Later, CRecoveryDialog::Choice::Recover}) {
        dialogs.dialogSteps.push_back([&, choice](QDialog& dialog) {
            auto& recovery = dynamic_cast<CRecoveryDialog&>(dialog);
            offered = QStringList();
            const auto* list = dialog.findChild<QListWidget*>();
            for (int i = 0; i < list->count(); ++i)
                offered->append(list->item(i)->text());
            user::click(recovery.button(choice));
        });
        start();
        EXPECT_TRUE(dialogs.dialogSteps.empty());
        EXPECT_EQ(offered, QStringList{u"Quorve1"_s});
        if (choice == CRecoveryDialog::Choice::Later)
            app.reset();
    }
    QFile expected(expectedFile);
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    ASSERT_EQ(app->documents().size(), 1) << "the start's empty texture gives way";
    CQuorvelDoc* recovered = app->documents().last();
    EXPECT_EQ(recordBytes(recovered->record()), expected.readAll());
    EXPECT_EQ(std::tuple(recovered->title(), recovered->isModified()), std::tuple(u"Quorve1"_s, true));
    // Nothing is offered twice.
    app.reset();
    start();
    EXPECT_EQ(app->documents().size(), 1);
}
