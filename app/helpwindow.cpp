#include "app/helpwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace {
constexpr QSize kInitialSize{720, 600};
}  // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent)
    : QMainWindow(parent), mFolder(QDir(folder).absolutePath()), mBrowser(new QTextBrowser) {
    setObjectName(QStringLiteral("helpWindow"));
    // Links to other programs' pages (none of ours) open in the desktop's browser.
    mBrowser->setOpenExternalLinks(true);
    setCentralWidget(mBrowser);
    createToolBar();
    connect(mBrowser, &QTextBrowser::sourceChanged, this, &CHelpWindow::updateTitle);
    // Never taller or wider than the screen it opens on, however large its scale.
    const QScreen* screen = QGuiApplication::primaryScreen();
    resize(screen ? kInitialSize.boundedTo(screen->availableGeometry().size() * 9 / 10)
                  : kInitialSize);
    updateTitle();
}

void CHelpWindow::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("helpNavigation"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setMovable(false);
    mBack = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"));
    mBack->setShortcut(QKeySequence::Back);
    mBack->setEnabled(false);
    mForward =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"));
    mForward->setShortcut(QKeySequence::Forward);
    mForward->setEnabled(false);
    mContents = bar->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                               QStringLiteral("&Contents"));
    mIndex = bar->addAction(style()->standardIcon(QStyle::SP_FileDialogListView),
                            QStringLiteral("&Index"));

    connect(mBack, &QAction::triggered, mBrowser, &QTextBrowser::backward);
    connect(mForward, &QAction::triggered, mBrowser, &QTextBrowser::forward);
    connect(mBrowser, &QTextBrowser::backwardAvailable, mBack, &QAction::setEnabled);
    connect(mBrowser, &QTextBrowser::forwardAvailable, mForward, &QAction::setEnabled);
    connect(mContents, &QAction::triggered, this, [this] { showPage(kContentsPage); });
    connect(mIndex, &QAction::triggered, this, [this] { showPage(kIndexPage); });

    auto* close = new QAction(QStringLiteral("Close"), this);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

void CHelpWindow::showPage(const QString& page) {
    const QString name = page.section(QLatin1Char('#'), 0, 0);
    const QString place = page.section(QLatin1Char('#'), 1);
    QUrl url = QUrl::fromLocalFile(QDir(mFolder).filePath(name));
    if (!place.isEmpty())
        url.setFragment(place);
    mBrowser->setSource(url);
    // A window shown afresh comes to the front by itself; one already open may be behind.
    if (!isVisible()) {
        show();
        return;
    }
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

QString CHelpWindow::currentPage() const {
    const QUrl source = mBrowser->source();
    if (source.isEmpty())
        return {};
    const QFileInfo file(source.toLocalFile());
    QString page = file.absolutePath() == mFolder ? file.fileName() : file.absoluteFilePath();
    if (source.hasFragment())
        page += QLatin1Char('#') + source.fragment();
    return page;
}

void CHelpWindow::updateTitle() {
    const QString title = mBrowser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Quorvel Help")
                                   : QStringLiteral("Quorvel Help - ") + title);
}
