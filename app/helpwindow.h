#pragma once

#include <QLatin1String>
#include <QMainWindow>
#include <QString>

class QAction;
class QTextBrowser;

// The help viewer: the program's HTML help pages in a window of its own, with Back, Forward,
// Contents and Index. Pages link to each other by relative names; "page.html#place" scrolls to
// a place in a page. Links to anything but a local file go to the desktop's browser.
class CHelpWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QLatin1String kContentsPage{"contents.html"};
    static constexpr QLatin1String kIndexPage{"index.html"};

    // `folder` holds the pages. With a parent the window still stands on its own, and it goes
    // when its parent goes.
    explicit CHelpWindow(const QString& folder, QWidget* parent = nullptr);

    QString folder() const { return mFolder; }

    // Shows `page`, a name in the help folder optionally followed by "#place", and brings the
    // window to the front.
    void showPage(const QString& page);
    // The page shown as a name in the help folder with its place ("view.html#drag"); a page
    // outside the folder by its full path; empty before the first page.
    QString currentPage() const;

    QTextBrowser* browser() const noexcept { return mBrowser; }
    QAction* backAction() const noexcept { return mBack; }
    QAction* forwardAction() const noexcept { return mForward; }
    QAction* contentsAction() const noexcept { return mContents; }
    QAction* indexAction() const noexcept { return mIndex; }

private:
    void createToolBar();
    void updateTitle();

    QString mFolder;
    QTextBrowser* mBrowser;
    QAction* mBack = nullptr;
    QAction* mForward = nullptr;
    QAction* mContents = nullptr;
    QAction* mIndex = nullptr;
};
