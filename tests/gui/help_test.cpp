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
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMdiArea>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>

#include <functional>

using namespace quorvel::command;

namespace {

const QString kHelpFolder = QStringLiteral(QUORVEL_SOURCE_DOCS_DIR "/help");
const QString kWebsitePage = QStringLiteral(QUORVEL_SOURCE_RES_DIR "/link.html");

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList helpPages() {
    return QDir(kHelpFolder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QStringList linksIn(const QString& html) {
    static const QRegularExpression link(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QStringList links;
    for (const QRegularExpressionMatch& match : link.globalMatch(html))
        links.append(match.captured(1));
    return links;
}

// What is wrong with `link` seen from a page in `folder` holding `ownText`; empty when it leads
// to an existing file and, after '#', to a place named in it. The help must work offline, so
// anything but a local relative name is wrong.
QString linkProblem(const QString& link, const QString& folder, const QString& ownText) {
    if (link.isEmpty() || link.contains(QLatin1Char(':')) || link.startsWith(QLatin1Char('/')))
        return QStringLiteral("not a local relative link");
    const QString file = link.section(QLatin1Char('#'), 0, 0);
    const QString place = link.section(QLatin1Char('#'), 1);
    const QString target = QDir(folder).filePath(file);
    if (!file.isEmpty() && !QFileInfo(target).isFile())
        return QStringLiteral("no file ") + target;
    if (place.isEmpty())
        return {};
    const QString text = file.isEmpty() ? ownText : readText(target);
    if (!text.contains(QStringLiteral("name=\"%1\"").arg(place)))
        return QStringLiteral("no place '%1' in %2")
            .arg(place, file.isEmpty() ? QStringLiteral("the page") : file);
    return {};
}

QStringList brokenLinks(const QString& page, const QString& folder) {
    const QString text = readText(page);
    QStringList broken;
    for (const QString& link : linksIn(text)) {
        const QString problem = linkProblem(link, folder, text);
        if (!problem.isEmpty())
            broken.append(link + QStringLiteral(": ") + problem);
    }
    return broken;
}

QString titleOf(const QString& html) {
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    return title.match(html).captured(1);
}

// Receives what QDesktopServices would hand to the desktop.
class CUrlCatcher : public QObject {
    Q_OBJECT

public:
    explicit CUrlCatcher(const QString& scheme) : mScheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~CUrlCatcher() override { QDesktopServices::unsetUrlHandler(mScheme); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }

private:
    QString mScheme;
};

// The What's This popup, while one is shown.
QWidget* whatsThisPopup() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->inherits("QWhatsThat"))
            return widget;
    return nullptr;
}

}  // namespace

TEST(HelpPages, EveryLinkLeadsToAnExistingPageAndPlace) {
    const QStringList pages = helpPages();
    ASSERT_GE(pages.size(), 15) << "help pages in " << kHelpFolder.toStdString();
    for (const QString& page : pages) {
        const QStringList broken = brokenLinks(QDir(kHelpFolder).filePath(page), kHelpFolder);
        EXPECT_TRUE(broken.isEmpty())
            << page.toStdString() << ": " << broken.join(QStringLiteral("; ")).toStdString();
    }
    // The website page is installed beside the help folder.
    const QStringList broken = brokenLinks(kWebsitePage, QFileInfo(kHelpFolder).absolutePath());
    EXPECT_TRUE(broken.isEmpty()) << "link.html: "
                                  << broken.join(QStringLiteral("; ")).toStdString();
}

TEST(HelpPages, EveryPageHasATitleAndIsReachableFromTheContents) {
    const QString contents = readText(QDir(kHelpFolder).filePath(CHelpWindow::kContentsPage));
    const QString index = readText(QDir(kHelpFolder).filePath(CHelpWindow::kIndexPage));
    ASSERT_FALSE(contents.isEmpty());
    ASSERT_FALSE(index.isEmpty());
    QStringList listed;
    for (const QString& link : linksIn(contents))
        listed.append(link.section(QLatin1Char('#'), 0, 0));
    for (const QString& page : helpPages()) {
        const QString text = readText(QDir(kHelpFolder).filePath(page));
        EXPECT_FALSE(titleOf(text).isEmpty()) << page.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("href=\"quorvel.css\""))) << page.toStdString();
        if (page != CHelpWindow::kContentsPage) {
            EXPECT_TRUE(listed.contains(page)) << page.toStdString() << " is not in the contents";
            EXPECT_TRUE(text.contains(QStringLiteral("href=\"contents.html\"")))
                << page.toStdString() << " has no way back to the contents";
        }
    }
}

TEST(HelpPages, TheHelpWindowShowsEachPageUnderItsTitle) {
    CHelpWindow window(kHelpFolder);
    for (const QString& page : helpPages()) {
        window.showPage(page);
        EXPECT_EQ(window.currentPage(), page);
        const QString title = titleOf(readText(QDir(kHelpFolder).filePath(page)));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Quorvel Help - ") + title);
        EXPECT_FALSE(window.browser()->toPlainText().trimmed().isEmpty()) << page.toStdString();
    }
    window.showPage(QStringLiteral("files.html#png"));
    EXPECT_EQ(window.currentPage(), QStringLiteral("files.html#png"));
    EXPECT_TRUE(window.isVisible());
}

using Help = GuiTest;

TEST_F(Help, HelpTopicsReusesOneWindowForTheContentsAndTheIndex) {
    start();
    EXPECT_EQ(app->helpWindow(), nullptr);
    frame().actions().action(kHelpContents)->trigger();
    CHelpWindow* window = app->helpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->currentPage(), QStringLiteral("contents.html"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvel Help - Help Topics"));
    EXPECT_FALSE(window->backAction()->isEnabled());

    frame().actions().action(kHelpIndex)->trigger();
    EXPECT_EQ(app->helpWindow(), window);
    EXPECT_EQ(window->currentPage(), QStringLiteral("index.html"));

    ASSERT_TRUE(window->backAction()->isEnabled());
    window->backAction()->trigger();
    EXPECT_EQ(window->currentPage(), QStringLiteral("contents.html"));
    ASSERT_TRUE(window->forwardAction()->isEnabled());
    window->forwardAction()->trigger();
    EXPECT_EQ(window->currentPage(), QStringLiteral("index.html"));
    window->contentsAction()->trigger();
    EXPECT_EQ(window->currentPage(), QStringLiteral("contents.html"));
    window->indexAction()->trigger();
    EXPECT_EQ(window->currentPage(), QStringLiteral("index.html"));

    // Closed, it comes back on the next request.
    window->close();
    frame().actions().action(kHelpContents)->trigger();
    EXPECT_EQ(app->helpWindow(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentPage(), QStringLiteral("contents.html"));
}

TEST_F(Help, PagesAreFoundAlongTheDataSearchPath) {
    // The current folder comes first, as for every data file.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("help"))));
    QFile local(path(QStringLiteral("help/contents.html")));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.write("<html><head><title>Local help</title></head><body>Here</body></html>");
    local.close();
    start();
    frame().actions().action(kHelpContents)->trigger();
    ASSERT_NE(app->helpWindow(), nullptr);
    EXPECT_EQ(app->helpWindow()->windowTitle(), QStringLiteral("Quorvel Help - Local help"));
    EXPECT_EQ(QDir(app->helpWindow()->folder()).canonicalPath(),
              QDir(path(QStringLiteral("help"))).canonicalPath());
}

TEST_F(Help, F1OpensThePageOfThePanelInUse) {
    start();
    CCommandBlock* block = frame().commandBlock();
    CPaletteBar* palette = frame().paletteBar();
    const struct {
        const char* what;
        const QWidget* focus;
        const char* page;
    } cases[] = {
        {"detail field", block->field(CCommandBlock::Field::Detail), "commandblock.html"},
        {"material list", block->materialList(), "commandblock.html"},
        {"preview button", block->previewButton(), "commandblock.html"},
        {"palette cells", palette->cells(), "palette.html"},
        {"gradient button", palette->gradientButton(), "palette.html"},
        {"library panel", frame().libraryBar(), "library.html"},
        {"library thumbnails", frame().libraryBar()->strip()->viewport(), "library.html"},
        {"texture view", frame().activeChildFrame()->view(), "view.html"},
        {"toolbar", frame().toolBar(), "mainwindow.html#toolbar"},
        {"status bar", frame().statusBar(), "contents.html"},
        {"main window", &frame(), "contents.html"},
        {"nothing", nullptr, "contents.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(contextHelpPage(frame(), c.focus), QString::fromUtf8(c.page)) << c.what;

    // The real key, with the keyboard focus in a field of the command block.
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    CIntegerField* detail = block->field(CCommandBlock::Field::Detail);
    detail->setFocus();
    ASSERT_TRUE(waitUntil([detail] { return detail->hasFocus(); }));
    QTest::keyClick(detail, Qt::Key_F1);
    ASSERT_NE(app->helpWindow(), nullptr);
    EXPECT_EQ(app->helpWindow()->currentPage(), QStringLiteral("commandblock.html"));
}

TEST_F(Help, WhatsThisExplainsThePanelsCommandsAndAreas) {
    start();
    CCommandBlock* block = frame().commandBlock();
    CPaletteBar* palette = frame().paletteBar();
    QList<const QWidget*> explained = {
        block->materialList(),
        block->reliefList(),
        block->reflectionButton(),
        block->lightingButton(),
        block->previewButton(),
        block->progressBar(),
        palette->cells(),
        palette->colourButton(),
        palette->gradientButton(),
        frame().commandBlock(),
        frame().paletteBar(),
        frame().libraryBar(),
        frame().commandBlockDock(),
        frame().paletteDock(),
        frame().libraryDock(),
        frame().libraryBar()->strip(),
        frame().libraryBar()->addButton(),
        frame().libraryBar()->loadButton(),
        frame().libraryBar()->saveButton(),
        frame().libraryBar()->deleteButton(),
        frame().mdiArea(),
        frame().toolBar(),
        frame().statusBar(),
    };
    for (int i = 0; i < CCommandBlock::kFieldCount; ++i)
        explained.append(block->field(static_cast<CCommandBlock::Field>(i)));
    for (const QWidget* widget : explained) {
        ASSERT_NE(widget, nullptr);
        const QString text = widget->whatsThis();
        EXPECT_FALSE(text.isEmpty())
            << widget->metaObject()->className() << " " << widget->accessibleName().toStdString();
        // Every link in a note must open an existing place in the help.
        for (const QString& link : linksIn(text))
            EXPECT_EQ(linkProblem(link, kHelpFolder, {}), QString()) << link.toStdString();
    }

    // Commands, in menus and on the toolbar's buttons.
    QList<QAction*> commands = frame().actions().recentFileActions();
    for (int id :
         {kNew,          kOpen,         kClose,        kSave,        kSaveAs,  kPrint,
          kPrintPreview, kPrintSetup,   kExit,         kImageFormat, kToolbar, kStatusBar,
          kLibrary,      kPalette,      kCommandBlock, kNewWindow,   kCascade, kTile,
          kArrangeIcons, kHelpContents, kHelpIndex,    kAbout,       kWebsite, kTipOfTheDay,
          kContextHelp,  kHelp,         kUndo})
        commands.append(frame().actions().action(id));
    for (const QAction* command : commands)
        EXPECT_FALSE(command->whatsThis().isEmpty()) << command->text().toStdString();
    EXPECT_TRUE(frame().actions().action(kNew)->whatsThis().contains(QStringLiteral("Ctrl+N")));
    for (QAction* item : frame().toolBar()->actions()) {
        if (!item->isSeparator()) {
            EXPECT_FALSE(frame().toolBar()->widgetForAction(item)->whatsThis().isEmpty())
                << item->text().toStdString();
        }
    }
}

TEST_F(Help, AWhatsThisLinkOpensItsHelpPage) {
    start();
    QWhatsThisClickedEvent click(QStringLiteral("palette.html#gradient"));
    QApplication::sendEvent(frame().paletteBar()->gradientButton(), &click);
    ASSERT_NE(app->helpWindow(), nullptr);
    EXPECT_EQ(app->helpWindow()->currentPage(), QStringLiteral("palette.html#gradient"));
}

TEST_F(Help, ShiftF1EntersWhatsThisAndTextureWindowsAreExplained) {
    start();
    frame().actions().action(kContextHelp)->trigger();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());

    // A click on a view asks the view, which has no note of its own: the document area's
    // note answers. The thumbnails answer for their strip likewise.
    for (QWidget* clicked : {static_cast<QWidget*>(frame().activeChildFrame()->view()->viewport()),
                             static_cast<QWidget*>(frame().libraryBar()->strip()->viewport())}) {
        const QPoint at(10, 10);
        QHelpEvent question(QEvent::WhatsThis, at, clicked->mapToGlobal(at));
        QApplication::sendEvent(clicked, &question);
        EXPECT_TRUE(waitUntil([] { return whatsThisPopup() != nullptr; }, 2000))
            << clicked->parentWidget()->metaObject()->className();
        QWhatsThis::hideText();
        settle();
    }
}

TEST_F(Help, WebsiteOpensTheShippedPageUnlessTheCurrentFolderHasOne) {
    start();
    CUrlCatcher catcher(QStringLiteral("file"));
    frame().actions().action(kWebsite)->trigger();
    ASSERT_EQ(catcher.urls.size(), 1);
    const QString shipped = catcher.urls.front().toLocalFile();
    EXPECT_EQ(QFileInfo(shipped).fileName(), QStringLiteral("link.html"));
    EXPECT_TRUE(QFileInfo(shipped).isAbsolute());
    EXPECT_NE(QFileInfo(shipped).absolutePath(), QDir::current().absolutePath());
    EXPECT_EQ(readText(shipped), readText(kWebsitePage));

    QFile own(path(QStringLiteral("link.html")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("<html><body>My page</body></html>");
    own.close();
    frame().actions().action(kWebsite)->trigger();
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(QFileInfo(catcher.urls.back().toLocalFile()).canonicalFilePath(),
              QFileInfo(path(QStringLiteral("link.html"))).canonicalFilePath());
}

#include "help_test.moc"
