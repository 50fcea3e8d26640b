#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/commandline.h"
#include "app/filecommands.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "panels/commandblock.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using namespace quorvel::command;

namespace {

QStringList menuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* menu : bar->actions())
        titles.append(menu->text());
    return titles;
}

QMenu* menuNamed(QMenuBar* bar, const QString& title) {
    for (QAction* menu : bar->actions())
        if (menu->text() == title)
            return menu->menu();
    return nullptr;
}

QStringList itemTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* item : menu->actions())
        texts.append(item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

}  // namespace

using MainFrame = GuiTest;

TEST_F(MainFrame, StartsWithOneFittedDocumentAndNewCountsOn) {
    start();
    ASSERT_EQ(app->documents().size(), 1);
    EXPECT_EQ(activeDocument()->title(), QStringLiteral("Quorve1"));
    EXPECT_FALSE(activeDocument()->isModified());
    EXPECT_EQ(frame().activeChildFrame()->size(), QSize(172, 151));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Quorvel - Quorve1"));
    EXPECT_TRUE(frame().commandBlockDock()->isVisible());
    EXPECT_EQ(frame().dockWidgetArea(frame().commandBlockDock()), Qt::RightDockWidgetArea);
    EXPECT_EQ(frame().dockWidgetArea(frame().libraryDock()), Qt::TopDockWidgetArea);
    EXPECT_EQ(frame().dockWidgetArea(frame().paletteDock()), Qt::BottomDockWidgetArea);

    frame().actions().action(kNew)->trigger();
    settle();
    ASSERT_EQ(app->documents().size(), 2);
    EXPECT_EQ(activeDocument()->title(), QStringLiteral("Quorve2"));
    EXPECT_EQ(frame().activeChildFrame()->size(), QSize(172, 151));
}

TEST_F(MainFrame, NewDocumentFillsThePanels) {
    start();
    const CCommandBlock::Fields fields = frame().commandBlock()->fields();
    EXPECT_EQ(fields.turbulence, 80);
    EXPECT_EQ(fields.detail, 3);
    EXPECT_EQ(fields.scaleX, 20);
    EXPECT_EQ(fields.scaleY, 20);
    EXPECT_EQ(fields.reliefScaleX, 10);
    EXPECT_EQ(fields.reliefScaleY, 10);
    EXPECT_EQ(fields.intensity, 0);
    EXPECT_EQ(fields.material, 1);  // Marble
    EXPECT_EQ(fields.relief, 0);    // Waves
    const quorvel::ColourMap& map = activeDocument()->current().colourMap;
    for (int i = 0; i < CPaletteCells::kCells; ++i) {
        const quorvel::Colour& colour = map.entries[static_cast<size_t>(i)].startColour;
        EXPECT_EQ(frame().paletteBar()->cells()->cell(i),
                  QColor(int(colour.r * 255.0f), int(colour.g * 255.0f), int(colour.b * 255.0f)))
            << "cell " << i;
    }
}

TEST_F(MainFrame, ActivationShowsTheActiveDocumentInThePanels) {
    start();
    CChildFrame* first = frame().activeChildFrame();
    first->document()->current().turbulence = 1.5f;
    first->document()->current().colourMap.entries[0].startColour = {1.0f, 0.0f, 0.0f, 0.0f};
    frame().actions().action(kNew)->trigger();
    settle();
    EXPECT_EQ(frame().commandBlock()->fields().turbulence, 80);

    frame().mdiArea()->setActiveSubWindow(first);
    settle();
    EXPECT_EQ(frame().commandBlock()->fields().turbulence, 150);
    EXPECT_EQ(frame().paletteBar()->cells()->cell(0), QColor(255, 0, 0));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Quorvel - Quorve1"));
}

TEST_F(MainFrame, MenuBarFollowsWhetherADocumentIsOpen) {
    start();
    QMenuBar* bar = frame().menuBar();
    EXPECT_EQ(menuTitles(bar), (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                            QStringLiteral("&View"), QStringLiteral("&Window"),
                                            QStringLiteral("&Help")}));
    EXPECT_EQ(
        itemTexts(menuNamed(bar, QStringLiteral("&File"))),
        (QStringList{QStringLiteral("&New"), QStringLiteral("&Open..."), QStringLiteral("&Close"),
                     QStringLiteral("&Save"), QStringLiteral("Save &As..."), QStringLiteral("-"),
                     QStringLiteral("&Print..."), QStringLiteral("Print Pre&view"),
                     QStringLiteral("Print Set&up..."), QStringLiteral("-"),
                     QStringLiteral("Recent File"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    EXPECT_EQ(itemTexts(menuNamed(bar, QStringLiteral("&View"))),
              (QStringList{QStringLiteral("&Toolbars"), QStringLiteral("&Status Bar"),
                           QStringLiteral("&Library"), QStringLiteral("&Palette"),
                           QStringLiteral("&Command Block")}));

    // Opening a menu appends the Tip menu once.
    emit menuNamed(bar, QStringLiteral("&File"))->aboutToShow();
    emit menuNamed(bar, QStringLiteral("&View"))->aboutToShow();
    EXPECT_EQ(menuTitles(bar).count(QStringLiteral("&Tip")), 1);
    EXPECT_EQ(menuTitles(bar).last(), QStringLiteral("&Tip"));
    // A bar that has the Tip menu keeps it when it is built again.
    frame().actions().action(kNew)->trigger();
    settle();
    EXPECT_EQ(menuTitles(bar).count(QStringLiteral("&Tip")), 1);
    frame().activeChildFrame()->close();
    settle();

    frame().activeChildFrame()->close();
    settle();
    EXPECT_EQ(menuTitles(bar), (QStringList{QStringLiteral("&File"), QStringLiteral("&View"),
                                            QStringLiteral("&Help")}));
    EXPECT_EQ(itemTexts(menuNamed(bar, QStringLiteral("&Help"))),
              (QStringList{QStringLiteral("&Help Topics"), QStringLiteral("-"),
                           QStringLiteral("&About Quorvel..."),
                           QStringLiteral("Visit Tarnwick Software Web Site")}));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Quorvel"));
    for (int id : {kSave, kPrint, kPrintPreview, kImageFormat})
        EXPECT_FALSE(frame().actions().action(id)->isEnabled()) << "greyed without a document";
    emit menuNamed(bar, QStringLiteral("&Help"))->aboutToShow();
    EXPECT_EQ(menuTitles(bar).last(), QStringLiteral("&Tip"));
}

TEST_F(MainFrame, CommandsCarryTheirShortcutsAndPrompts) {
    start();
    const CCommandActions& actions = frame().actions();
    const struct {
        int id;
        const char* keys;
        const char* prompt;
    } rows[] = {
        {kNew, "Ctrl+N", "Create a new texture"},
        {kOpen, "Ctrl+O", "Open an existing texture"},
        {kSave, "Ctrl+S", "Save the active texture"},
        {kPrint, "Ctrl+P", "Print the active texture"},
        {kExit, "", "Close the application ; prompt to save the documents"},
        {kImageFormat, "", "Choose an Image Format"},
        {kCommandBlock, "", "Display or hide the command block"},
    };
    for (const auto& row : rows) {
        QAction* action = actions.action(row.id);
        ASSERT_NE(action, nullptr) << row.id;
        EXPECT_EQ(action->shortcut().toString(), QString::fromUtf8(row.keys)) << row.id;
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(row.prompt)) << row.id;
    }
    // Undo, cut, copy, paste and the pane keys are there but do nothing.
    for (QAction* inert : actions.inertActions())
        EXPECT_FALSE(inert->isEnabled());
    EXPECT_EQ(actions.action(kUndo)->shortcuts().size(), 2);

    QStringList toolbar;
    for (QAction* item : frame().toolBar()->actions())
        toolbar.append(item->isSeparator() ? QStringLiteral("-")
                                           : QString::number(item->data().toInt()));
    EXPECT_EQ(toolbar,
              (QStringList{QStringLiteral("57600"), QStringLiteral("57601"),
                           QStringLiteral("32773"), QStringLiteral("-"), QStringLiteral("57607"),
                           QStringLiteral("57667"), QStringLiteral("57669")}));
}

TEST_F(MainFrame, PanelTogglesHideAndShowTheirBars) {
    start();
    const struct {
        int id;
        QWidget* bar;
    } rows[] = {
        {kCommandBlock, frame().commandBlockDock()}, {kLibrary, frame().libraryDock()},
        {kPalette, frame().paletteDock()},           {kToolbar, frame().toolBar()},
        {kStatusBar, frame().statusBar()},
    };
    for (const auto& row : rows) {
        QAction* toggle = frame().actions().action(row.id);
        EXPECT_TRUE(toggle->isChecked()) << row.id;
        toggle->trigger();
        EXPECT_FALSE(row.bar->isVisible()) << row.id;
        EXPECT_FALSE(toggle->isChecked()) << row.id;
        toggle->trigger();
        EXPECT_TRUE(row.bar->isVisible()) << row.id;
        EXPECT_TRUE(toggle->isChecked()) << row.id;
    }
    EXPECT_EQ(frame().dockWidgetArea(frame().commandBlockDock()), Qt::RightDockWidgetArea);
}

TEST_F(MainFrame, ExitAsksAboutModifiedDocumentsInCreationOrder) {
    start();
    frame().actions().action(kNew)->trigger();
    frame().actions().action(kNew)->trigger();
    settle();
    const QList<CQuorvelDoc*> documents = app->documents();
    ASSERT_EQ(documents.size(), 3);
    documents[0]->setModified(true);
    documents[2]->setModified(true);
    frame().mdiArea()->setActiveSubWindow(frame().childFrames().first());

    dialogs.answers = {QMessageBox::No, QMessageBox::No};
    frame().actions().action(kExit)->trigger();
    settle();
    EXPECT_EQ(dialogs.questions,
              (QStringList{QStringLiteral("The Document  Quorve1 has been modified !!\n"
                                          "Do you wish to Save your Current Work ??"),
                           QStringLiteral("The Document  Quorve3 has been modified !!\n"
                                          "Do you wish to Save your Current Work ??")}));
    EXPECT_EQ(dialogs.buttonSets.first(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(frame().isVisible());
    EXPECT_TRUE(app->documents().isEmpty());
    EXPECT_TRUE(QDir::current().entryList(QDir::Files).isEmpty()) << "nothing is written";
}

TEST_F(MainFrame, ExitStopsWhenAYesIsNotSaved) {
    start();
    activeDocument()->setModified(true);
    dialogs.answers = {QMessageBox::Yes};
    dialogs.saveChoices = {QString()};  // the save dialog is cancelled
    EXPECT_FALSE(frame().close());
    settle();
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(app->documents().size(), 1);
}

TEST_F(MainFrame, ClosingOneOfTwoWindowsAsksAndKeepsTheDocument) {
    start();
    CQuorvelDoc* document = activeDocument();
    frame().actions().action(kNewWindow)->trigger();
    settle();
    ASSERT_EQ(frame().childFrames().size(), 2);
    EXPECT_EQ(frame().childFrames().at(1)->document(), document);
    document->setModified(true);

    dialogs.answers = {QMessageBox::No};
    frame().activeChildFrame()->close();
    settle();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(frame().childFrames().size(), 1);
    EXPECT_EQ(app->documents(), QList<CQuorvelDoc*>{document});

    // An unmodified document's window closes without a question.
    document->setModified(false);
    frame().activeChildFrame()->close();
    settle();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(app->documents().isEmpty());
}

TEST_F(MainFrame, StatusBarShowsTheIdleTextAndLockPanes) {
    start();
    QStringList texts;
    for (QLabel* label : frame().statusBar()->findChildren<QLabel*>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("For help, press F1")));
    for (const char* pane : {"CAP", "NUM", "SCR"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(pane)));
}

TEST(CommandLine, SwitchesAndFiles) {
    const struct {
        QStringList arguments;
        QString file;
        bool print;
        QString printer;
        bool splash;
        bool failed;
    } rows[] = {
        {{}, {}, false, {}, true, false},
        {{QStringLiteral("a.qvl")}, QStringLiteral("a.qvl"), false, {}, true, false},
        {{QStringLiteral("/home/u/a.qvl")},
         QStringLiteral("/home/u/a.qvl"),
         false,
         {},
         true,
         false},
        {{QStringLiteral("/Embedding")}, {}, false, {}, false, false},
        {{QStringLiteral("-automation")}, {}, false, {}, false, false},
        {{QStringLiteral("/dde")}, {}, false, {}, true, false},
        {{QStringLiteral("/p"), QStringLiteral("a.qvl")},
         QStringLiteral("a.qvl"),
         true,
         {},
         true,
         false},
        {{QStringLiteral("-pt"), QStringLiteral("a.qvl"), QStringLiteral("Office")},
         QStringLiteral("a.qvl"),
         true,
         QStringLiteral("Office"),
         true,
         false},
        {{QStringLiteral("-p")}, {}, true, {}, true, true},
        {{QStringLiteral("-x")}, {}, false, {}, true, true},
        {{QStringLiteral("a.qvl"), QStringLiteral("b.qvl")},
         QStringLiteral("a.qvl"),
         false,
         {},
         true,
         true},
    };
    for (const auto& row : rows) {
        const CommandLine line = parseCommandLine(row.arguments);
        const std::string label = row.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(line.error.isEmpty(), !row.failed) << label;
        if (row.failed)
            continue;
        EXPECT_EQ(line.file, row.file) << label;
        EXPECT_EQ(line.print, row.print) << label;
        EXPECT_EQ(line.printer, row.printer) << label;
        EXPECT_EQ(line.splash, row.splash) << label;
    }
}

TEST_F(MainFrame, StartsWithTheNamedFileOrNothingWhenItIsBad) {
    start();
    activeDocument()->current().turbulence = 2.5f;
    ASSERT_TRUE(app->fileCommands().save(activeDocument()));
    app.reset();

    start({path(QStringLiteral("Quorve1.qvl"))});
    ASSERT_NE(activeDocument(), nullptr);
    EXPECT_EQ(activeDocument()->title(), QStringLiteral("Quorve1.qvl"));
    EXPECT_EQ(activeDocument()->current().turbulence, 2.5f);
    app.reset();

    start({path(QStringLiteral("missing.qvl"))});
    EXPECT_EQ(activeDocument(), nullptr);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.first().contains(QStringLiteral("missing.qvl")));
    EXPECT_FALSE(frame().hasDocumentMenu());
}

TEST_F(MainFrame, WindowMenuListsTheWindowsAndArrangesIcons) {
    start();
    frame().actions().action(kNew)->trigger();
    settle();
    QMenu* window = menuNamed(frame().menuBar(), QStringLiteral("&Window"));
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    const QStringList items = itemTexts(window);
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items.mid(0, 4),
              (QStringList{QStringLiteral("&New Window"), QStringLiteral("&Cascade"),
                           QStringLiteral("&Tile"), QStringLiteral("&Arrange Icons")}));
    EXPECT_EQ(items.mid(5),
              (QStringList{QStringLiteral("&1 Quorve1"), QStringLiteral("&2 Quorve2")}));
    EXPECT_TRUE(window->actions().last()->isChecked()) << "the active window is checked";

    window->actions().at(5)->trigger();
    EXPECT_EQ(activeDocument()->title(), QStringLiteral("Quorve1"));

    // Tile stacks the windows, each as wide as the area.
    frame().actions().action(kTile)->trigger();
    const QSize area = frame().mdiArea()->viewport()->size();
    EXPECT_EQ(frame().childFrames().at(0)->geometry(),
              QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(frame().childFrames().at(1)->geometry().top(), area.height() / 2);
    EXPECT_EQ(frame().childFrames().at(1)->width(), area.width());

    CChildFrame* first = frame().childFrames().first();
    first->showMinimized();
    frame().actions().action(kArrangeIcons)->trigger();
    EXPECT_EQ(first->geometry().bottom(), frame().mdiArea()->viewport()->height() - 1);
    EXPECT_EQ(first->x(), 0);
}

TEST_F(MainFrame, WindowsCarryTheProgramsIcon) {
    start();
    const QIcon icon = QApplication::windowIcon();
    for (const int side : {32, 48, 256}) {
        const QPixmap pixmap = icon.pixmap(side, side);
        EXPECT_EQ(pixmap.size(), QSize(side, side)) << side;
        // The rounded corner is transparent, the mosaic opaque.
        const QImage image = pixmap.toImage();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side;
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << side;
    }
}
