#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "panels/commandblock.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>

using namespace Qt::StringLiterals;
using namespace quorvel::command;

class MainFrame : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    QAction* command(int id) const { return frame().actions().action(id); }
    void choose(int id) { user::choose(&frame(), command(id)); }
    QString menuTitles() const {
        QStringList titles;
        for (QAction* menu : frame().menuBar()->actions())
            titles.append(menu->text());
        return titles.join(u' ');
    }
    // Clicks a menu's title in the menu bar, then its entry that reads `entry`, or Escape.
    void openMenu(const QString& title, const QString& entry = {}) {
        QMenuBar* bar = frame().menuBar();
        QAction* item = bar->actions().value(menuTitles().split(u' ').indexOf(title));
        ASSERT_NE(item, nullptr) << title.toStdString();
        user::click(bar, bar->actionGeometry(item).center());
        QMenu* menu = item->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        for (QAction* shown : menu->actions())
            if (!entry.isEmpty() && shown->text() == entry)
                return user::click(menu, menu->actionGeometry(shown).center());
        user::key(menu, Qt::Key_Escape);
    }
    // The user closes the active window with the keys of its window menu.
    void closeActiveWindow() {
        user::click(frame().activeChildFrame()->widget(), {2, 2});
        user::key(&frame(), Qt::Key_F4, Qt::ControlModifier);
        settle();
    }
    static QString question(const char* title) {
        return u"The Document  "_s + QString::fromUtf8(title) +
               u" has been modified !!\nDo you wish to Save your Current Work ??"_s;
    }
};

TEST_F(MainFrame, NewDocumentsComeFromMenuKeyAndToolbarAndTheWindowMenuArrangesThem) {
    changeRecord([](quorvel::TextureParams& record) {
        record.turbulence = 0.55f;
        record.colourMap.entries[0].startColour = {1.0f, 0.0f, 0.0f, 0.0f};
    });
    choose(kNew);
    user::key(&frame(), Qt::Key_N, Qt::ControlModifier);
    user::click(frame().toolBar()->widgetForAction(command(kNew)));
    const QList<CChildFrame*> windows = frame().childFrames();
    ASSERT_EQ(windows.size(), 4);
    EXPECT_EQ(windows.last()->windowTitle(), u"Quorve4"_s);
    EXPECT_EQ(windows.last()->size(), QSize(172, 151));
    // The panels show the active document.
    EXPECT_EQ(frame().commandBlock()->fields().turbulence, 80);
    EXPECT_NE(frame().paletteBar()->cells()->cell(0), QColor(255, 0, 0));
    openMenu(u"&Window"_s, u"&1 Quorve1"_s);
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - Quorve1"_s);
    EXPECT_EQ(frame().commandBlock()->fields().turbulence, 55);
    EXPECT_EQ(frame().paletteBar()->cells()->cell(0), QColor(255, 0, 0));
    // Tile stacks the windows as wide as the area; Arrange Icons puts the minimised at the foot.
    choose(kTile);
    const QSize area = frame().mdiArea()->viewport()->size();
    for (int i = 0, h = area.height(); i < 4; ++i)
        EXPECT_EQ(windows.at(i)->geometry(),
                  QRect(0, i * h / 4, area.width(), (i + 1) * h / 4 - i * h / 4));
    windows.at(0)->showMinimized();
    choose(kArrangeIcons);
    EXPECT_EQ(windows.at(0)->geometry().bottomLeft(), QPoint(0, area.height() - 1));
}

TEST_F(MainFrame, ClosingWindowsAsksForModifiedDocumentsAndTheMenuBarFollows) {
    // The Tip menu is there from the start, once, on either bar.
    const QString full = u"&File &Edit &View &Window &Help &Tip"_s;
    EXPECT_EQ(menuTitles(), full);
    openMenu(u"&File"_s);
    openMenu(u"&View"_s);
    EXPECT_EQ(menuTitles(), full);
    CQuorvelDoc* document = activeDocument();
    choose(kNewWindow);
    EXPECT_EQ(menuTitles(), full) << "kept when the bar is rebuilt";
    // Each window of a modified document asks; the document stays while a window shows it.
    document->markUnsaved();
    dialogs.answers = {QMessageBox::No};
    closeActiveWindow();
    EXPECT_EQ(dialogs.questions, QStringList{question("Quorve1")});
    EXPECT_EQ(app->documents(), QList<CQuorvelDoc*>{document});
    document->markSaved();
    closeActiveWindow();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(app->documents().isEmpty());
    EXPECT_EQ(menuTitles(), u"&File &View &Help &Tip"_s);
    EXPECT_EQ(frame().windowTitle(), u"Quorvel"_s);
    for (int id : {kSave, kPrint, kPrintPreview, kImageFormat})
        EXPECT_FALSE(command(id)->isEnabled()) << "greyed without a document";
    openMenu(u"&Help"_s);
    EXPECT_EQ(menuTitles(), u"&File &View &Help &Tip"_s);
}

TEST_F(MainFrame, ClosingTheProgramAsksAboutEachModifiedDocumentAndAYesMustSave) {
    choose(kNew);
    choose(kNew);
    const QList<CQuorvelDoc*> documents = app->documents();
    ASSERT_EQ(documents.size(), 3);
    documents[0]->markUnsaved();
    documents[2]->markUnsaved();
    // The close box, Yes, and the save dialog cancelled: nothing closes.
    dialogs.answers = {QMessageBox::Yes};
    dialogs.saveChoices = {QString()};
    frame().windowHandle()->close();
    settle();
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(app->documents(), documents);
    dialogs.questions.clear();
    dialogs.answers = {QMessageBox::No, QMessageBox::No};
    choose(kExit);
    settle();
    EXPECT_EQ(dialogs.questions, QStringList({question("Quorve1"), question("Quorve3")}));
    EXPECT_FALSE(frame().isVisible());
    EXPECT_TRUE(app->documents().isEmpty());
    EXPECT_TRUE(QDir::current().entryList(QDir::Files).isEmpty()) << "nothing is written";
}

TEST_F(MainFrame, ViewMenuHidesAndShowsEachBarWithItsCheckMark) {
    const std::pair<int, QWidget*> rows[] = {{kCommandBlock, frame().commandBlockDock()},
                                             {kLibrary, frame().libraryDock()},
                                             {kPalette, frame().paletteDock()},
                                             {kToolbar, frame().toolBar()},
                                             {kStatusBar, frame().statusBar()}};
    for (const auto& [id, bar] : rows) {
        SCOPED_TRACE(command(id)->text().toStdString());
        for (const bool shown : {false, true}) {
            choose(id);
            EXPECT_EQ(bar->isVisible(), shown);
            EXPECT_EQ(command(id)->isChecked(), shown);
        }
    }
    EXPECT_EQ(frame().dockWidgetArea(frame().commandBlockDock()), Qt::RightDockWidgetArea);
}
