#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/helpwindow.h"
#include "app/mainframe.h"
#include "app/quorvelview.h"
#include "app/whatsthis.h"
#include "library/librarybar.h"
#include "library/librarystrip.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/promptbutton.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDockWidget>
#include <QMdiArea>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

using namespace quorvel::command;
using namespace Qt::StringLiterals;

namespace {

const QString kHelpFolder = QStringLiteral(QUORVEL_SOURCE_DOCS_DIR "/help");

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The links in `html`, seen from `folder`, that lead to no file or to no place named in it.
// The help must work offline, so anything but a local relative name is broken too.
QStringList brokenLinks(const QString& html, const QString& folder = kHelpFolder) {
    static const QRegularExpression linkPattern(u"(?:href|src)\\s*=\\s*\"([^\"]*)\""_s);
    QStringList broken;
    for (const QRegularExpressionMatch& match : linkPattern.globalMatch(html)) {
        const QString link = match.captured(1);
        const QString file = link.section(u'#', 0, 0);
        const QString place = link.section(u'#', 1);
        const QString text = file.isEmpty() ? html : readText(QDir(folder).filePath(file));
        if (link.isEmpty() || link.contains(u':') || link.startsWith(u'/') || text.isEmpty() ||
            (!place.isEmpty() && !text.contains(u"name=\"%1\""_s.arg(place))))
            broken.append(link);
    }
    return broken;
}

// Receives what QDesktopServices would hand to the desktop.
class CUrlCatcher : public QObject {
    Q_OBJECT

public:
    CUrlCatcher() { QDesktopServices::setUrlHandler(u"file"_s, this, "open"); }
    ~CUrlCatcher() override { QDesktopServices::unsetUrlHandler(u"file"_s); }
    QStringList files;

public slots:
    void open(const QUrl& url) { files.append(QFileInfo(url.toLocalFile()).canonicalFilePath()); }
};

// Clicks the link in the shown What's This note where the pointer turns into a hand over it.
bool clickNoteLink() {
    QWidget* note = QApplication::activePopupWidget();
    for (int i = 0; note && i < note->width() * note->height() / 8; ++i) {
        const QPoint at(4 * i % note->width(), note->height() - 1 - 2 * (4 * i / note->width()));
        user::move(note, at);
        if (note->cursor().shape() == Qt::PointingHandCursor) {
            user::click(note, at);
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(HelpPages, EveryPageHasATitleAWayBackAndLinksThatLeadSomewhere) {
    const QStringList pages = QDir(kHelpFolder).entryList({u"*.html"_s}, QDir::Files);
    ASSERT_GE(pages.size(), 15) << qPrintable(kHelpFolder);
    const QString contents = readText(kHelpFolder + u"/contents.html"_s);
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QString text = readText(QDir(kHelpFolder).filePath(page));
        EXPECT_EQ(brokenLinks(text), QStringList());
        EXPECT_TRUE(text.contains(QRegularExpression(u"<title>[^<]+</title>"_s)));
        EXPECT_TRUE(page == u"contents.html"_s || (contents.contains(u"\"%1"_s.arg(page)) &&
                                                   text.contains(u"href=\"contents.html"_s)))
            << "not linked both ways with the contents";
    }
    // The website page is installed beside the help folder.
    EXPECT_EQ(brokenLinks(readText(QUORVEL_SOURCE_RES_DIR "/link.html"_L1), kHelpFolder + u"/.."_s),
              QStringList());
}

using Help = GuiTest;

TEST_F(Help, HelpMenuOpensTopicsInOneWindowThatComesBackAfterClosingAndTheWebsite) {
    start();
    CUrlCatcher catcher;
    user::choose(&frame(), frame().actions().action(kWebsite));
    ASSERT_EQ(catcher.files.size(), 1);
    EXPECT_EQ(readText(catcher.files[0]), readText(QUORVEL_SOURCE_RES_DIR "/link.html"_L1));
    QWidget* topics = frame().toolBar()->widgetForAction(frame().actions().action(kHelpContents));
    user::click(topics);
    CHelpWindow* window = app->helpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), u"Quorvel Help - Help Topics"_s);
    user::choose(&frame(), frame().actions().action(kHelpIndex));
    EXPECT_EQ(app->helpWindow(), window);
    EXPECT_EQ(window->currentPage(), u"index.html"_s);
    const std::pair<QAction*, QString> steps[] = {{window->backAction(), u"contents.html"_s},
                                                  {window->forwardAction(), u"index.html"_s},
                                                  {window->contentsAction(), u"contents.html"_s},
                                                  {window->indexAction(), u"index.html"_s}};
    for (const auto& [action, page] : steps) {
        user::click(window->findChild<QToolBar*>()->widgetForAction(action));
        EXPECT_EQ(window->currentPage(), page) << qPrintable(action->text());
    }
    user::key(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    user::click(topics);
    EXPECT_TRUE(app->helpWindow() == window && window->isVisible());
    EXPECT_EQ(window->currentPage(), u"contents.html"_s);
}

TEST_F(Help, F1AndWhatsThisExplainTheControlInUseAndTheNotesLinkOpensItsPage) {
    start();
    QList<QWidget*> explained{frame().mdiArea(), frame().toolBar(), frame().statusBar(),
                              frame().paletteBar()->cells(), frame().libraryBar()->strip()};
    for (QDockWidget* dock : frame().findChildren<QDockWidget*>()) {
        explained << dock << dock->widget();
        for (QWidget* control : dock->widget()->findChildren<QWidget*>())
            if (control->inherits("QAbstractButton") || control->inherits("QComboBox") ||
                control->inherits("QAbstractSpinBox") || control->inherits("QProgressBar"))
                explained << control;
    }
    ASSERT_GE(explained.size(), 30);
    for (const QWidget* widget : std::as_const(explained)) {
        EXPECT_FALSE(widget->whatsThis().isEmpty()) << widget->metaObject()->className();
        EXPECT_EQ(brokenLinks(widget->whatsThis()), QStringList());
    }
    for (const QAction* command : frame().actions().findChildren<QAction*>())
        EXPECT_FALSE(command->whatsThis().isEmpty()) << qPrintable(command->text());
    EXPECT_TRUE(frame().actions().action(kNew)->whatsThis().contains(u"Ctrl+N"_s));

    // F1 opens the page of the panel holding the keyboard focus. Shift+F1 or the toolbar's
    // button, then a click, explains a control, and the note's link opens the page that says
    // more. A view has no note of its own: the document area's answers, as the strip's does for
    // its thumbnails.
    const std::tuple<QWidget*, QString, QString> rows[] = {
        {frame().commandBlock()->field(CCommandBlock::Field::Detail), u"commandblock.html"_s,
         u"commandblock.html#detail"_s},
        {frame().paletteBar()->gradientButton(), u"palette.html"_s, u"palette.html#gradient"_s},
        {frame().libraryBar()->strip()->viewport(), u"library.html"_s, u"library.html#strip"_s},
        {frame().activeChildFrame()->view()->viewport(), u"view.html"_s, u"view.html"_s},
    };
    bool byKey = false;
    for (const auto& [control, panelPage, notePage] : rows) {
        user::click(control);
        user::key(&frame(), Qt::Key_F1);
        ASSERT_NE(app->helpWindow(), nullptr);
        EXPECT_EQ(app->helpWindow()->currentPage(), panelPage);
        user::key(app->helpWindow(), Qt::Key_Escape);  // else keys go on to the help window
        if ((byKey = !byKey))
            user::key(&frame(), Qt::Key_F1, Qt::ShiftModifier);
        else
            user::click(frame().toolBar()->widgetForAction(frame().actions().action(kContextHelp)));
        user::click(control);
        ASSERT_TRUE(clickNoteLink()) << qPrintable(notePage);
        EXPECT_EQ(app->helpWindow()->currentPage(), notePage);
        user::key(app->helpWindow(), Qt::Key_Escape);
    }
}

#include "help_test.moc"
