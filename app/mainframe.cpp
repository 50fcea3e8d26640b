#include "app/mainframe.h"

#include "app/backgroundtask.h"
#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/quorvelapp.h"
#include "app/quorvelview.h"
#include "app/recentfilelist.h"
#include "app/toolbaricons.h"
#include "document/quorveldoc.h"
#include "library/librarybar.h"
#include "panels/commandblock.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>

#include <algorithm>

using namespace quorvel::command;

namespace {

constexpr int kSeparator = 0;
constexpr int kRecentFiles = -1;  // where the recent-file entries go in the File menu
constexpr int kFrameWidthAllowance = 12;
constexpr int kFrameHeightAllowance = 31;

QString text(const char* s) { return QString::fromUtf8(s); }

}  // namespace

CMainFrame::CMainFrame(CQuorvelApp& app)
    : mApp(app), mActions(new CCommandActions(this)), mArea(new QMdiArea),
      mHistories(new QUndoGroup(this)) {
    setWindowTitle(text("Quorvel"));
    setObjectName(text("mainFrame"));
    mArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mArea);
    connect(mArea, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);

    createToolBar();
    createStatusBar();
    createDocks();
    addActions(mActions->inertActions());
    // Connected before the application's own handlers, so every command sees the values typed
    // in the command block, even when a shortcut left the focus in the field.
    for (QAction* action : mActions->findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [this] {
            if (mCommandBlock)
                mCommandBlock->commitPendingEdits();
        });
    // Shortcuts of actions that sit in no menu still work through the window.
    addActions({mActions->action(kContextHelp), mActions->action(kHelp)});
    // Undo and Redo work on the active document's history and name what they would do.
    connect(mActions->action(kUndo), &QAction::triggered, mHistories, &QUndoGroup::undo);
    connect(mActions->action(kRedo), &QAction::triggered, mHistories, &QUndoGroup::redo);
    for (auto change : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged})
        connect(mHistories, change, this, &CMainFrame::updateUndoActions);
    for (auto change : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged})
        connect(mHistories, change, this, &CMainFrame::updateUndoActions);
    updateUndoActions();
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &CMainFrame::stopRendering);
    updateMenus();
}

CMainFrame::~CMainFrame() {
    // The area reports its last activation while the frame is half destroyed.
    disconnect(mArea, nullptr, this, nullptr);
    // The panels call this frame as their host, for instance when a field loses the focus as
    // the window goes: they go first, while the frame is whole, and find no document then.
    mClosing = true;
    delete mCommandBlockDock;
    delete mLibraryDock;
    delete mPaletteDock;
    mCommandBlockDock = mLibraryDock = mPaletteDock = nullptr;
    mCommandBlock = nullptr;
    mLibraryBar = nullptr;
    mPaletteBar = nullptr;
}

void CMainFrame::createToolBar() {
    mToolBar = addToolBar(text("Toolbar"));
    mToolBar->setObjectName(text("toolBar"));
    mToolBar->setIconSize(QSize(16, 16));
    const std::pair<int, ToolbarGlyph> glyphs[] = {{kNew, ToolbarGlyph::New},
                                                   {kOpen, ToolbarGlyph::Open},
                                                   {kSave, ToolbarGlyph::Save},
                                                   {kPrint, ToolbarGlyph::Print},
                                                   {kHelpContents, ToolbarGlyph::HelpTopics},
                                                   {kContextHelp, ToolbarGlyph::ContextHelp}};
    for (const auto& [id, glyph] : glyphs)
        mActions->action(id)->setIcon(toolbarIcon(glyph));
    mToolBar->addAction(mActions->action(kNew));
    mToolBar->addAction(mActions->action(kOpen));
    mToolBar->addAction(mActions->action(kSave));
    mToolBar->addSeparator();
    mToolBar->addAction(mActions->action(kPrint));
    mToolBar->addAction(mActions->action(kHelpContents));
    mToolBar->addAction(mActions->action(kContextHelp));
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->addWidget(new QLabel(text("For help, press F1")), 1);
    // Qt does not report the lock keys' state, so the panes show their names greyed.
    for (const char* pane : {"CAP", "NUM", "SCR"}) {
        auto* label = new QLabel(text(pane));
        label->setEnabled(false);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label);
    }
}

void CMainFrame::createDocks() {
    // The horizontal panels span the full width; the command block fills the height between.
    setCorner(Qt::TopRightCorner, Qt::TopDockWidgetArea);
    setCorner(Qt::TopLeftCorner, Qt::TopDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);

    const auto makeDock = [this](const QString& title, const char* name, QWidget* panel,
                                 Qt::DockWidgetAreas allowed, Qt::DockWidgetArea area) {
        auto* dock = new QDockWidget(title, this);
        dock->setObjectName(text(name));
        dock->setAllowedAreas(allowed);
        dock->setWidget(panel);
        addDockWidget(area, dock);
        return dock;
    };
    mCommandBlock = new CCommandBlock(*this);
    // On a small or highly scaled screen the block scrolls rather than making the window taller
    // than the screen, which would cut off the palette and the status bar.
    auto* scroller = new QScrollArea;
    scroller->setWidget(mCommandBlock);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setMinimumWidth(mCommandBlock->sizeHint().width() +
                              scroller->verticalScrollBar()->sizeHint().width());
    mCommandBlockDock =
        makeDock(text("Command Block"), "commandBlockDock", scroller,
                 Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea, Qt::RightDockWidgetArea);
    mLibraryBar = new CLibraryBar(*this);
    mLibraryDock =
        makeDock(text("Library"), "libraryDock", mLibraryBar,
                 Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea, Qt::TopDockWidgetArea);
    mPaletteBar = new CPaletteBar(*this);
    mPaletteDock =
        makeDock(text("Palette"), "paletteDock", mPaletteBar,
                 Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea, Qt::BottomDockWidgetArea);
}

QMenu* CMainFrame::addMenu(const QString& title, const QList<int>& ids) {
    QMenu* menu = menuBar()->addMenu(title);
    for (int id : ids) {
        if (id == kSeparator)
            menu->addSeparator();
        else if (id == kRecentFiles)
            fillRecentFiles(menu);
        else
            menu->addAction(mActions->action(id));
    }
    // The Tip menu joins whichever bar is shown the first time one of its menus opens.
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::addTipMenu);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCheckMarks);
    mMenus.append(menu);
    return menu;
}

void CMainFrame::addTipMenu() {
    for (QAction* item : menuBar()->actions())
        if (item->text() == text("&Tip"))
            return;
    if (!mTipMenu) {
        mTipMenu = new QMenu(text("&Tip"), this);
        mTipMenu->addAction(mActions->action(kTipOfTheDay));
    }
    menuBar()->addMenu(mTipMenu);
}

void CMainFrame::fillRecentFiles(QMenu* menu) {
    const QStringList& entries = mApp.recentFiles().menuEntries();
    const QList<QAction*>& recent = mActions->recentFileActions();
    for (int k = 0; k < recent.size(); ++k) {
        QAction* item = recent.at(k);
        if (k < entries.size()) {
            // An "&" in a path is shown, not taken as a mnemonic.
            QString path = CRecentFileList::menuText(entries.at(k));
            path.replace(QLatin1Char('&'), QStringLiteral("&&"));
            item->setText(QStringLiteral("&%1 %2").arg(k + 1).arg(path));
            item->setEnabled(true);
            menu->addAction(item);
        } else if (k == 0) {
            item->setText(text("Recent File"));
            item->setEnabled(false);
            menu->addAction(item);
        }
    }
}

void CMainFrame::fillWindowMenu(QMenu* menu) {
    menu->clear();
    for (int id : {kNewWindow, kCascade, kTile, kArrangeIcons})
        menu->addAction(mActions->action(id));
    const QList<QMdiSubWindow*> windows = mArea->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty())
        menu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        const auto* frame = qobject_cast<CChildFrame*>(window);
        const QString title = frame ? markedTitle(*frame->document()) : window->windowTitle();
        QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        item->setCheckable(true);
        item->setChecked(window == mArea->activeSubWindow());
        connect(item, &QAction::triggered, this,
                [this, window] { mArea->setActiveSubWindow(window); });
    }
}

void CMainFrame::updateMenus() {
    mDocumentMenu = !mArea->subWindowList().isEmpty();
    menuBar()->clear();
    // Later, not now: this may run from an action of one of these menus.
    for (QMenu* old : std::as_const(mMenus))
        old->deleteLater();
    mMenus.clear();
    mActions->action(kWebsite)->setText(mDocumentMenu
                                            ? text("Connect to Tarnwick Software's website")
                                            : text("Visit Tarnwick Software Web Site"));
    if (!mDocumentMenu) {
        addMenu(text("&File"), {kNew, kOpen, kSeparator, kPrintSetup, kSeparator, kRecentFiles,
                                kSeparator, kExit});
        addMenu(text("&View"), {kToolbar, kStatusBar});
        addMenu(text("&Help"), {kHelpContents, kSeparator, kAbout, kWebsite});
    } else {
        addMenu(text("&File"),
                {kNew, kOpen, kClose, kSave, kSaveAs, kExportMaps, kSeparator, kPrint,
                 kPrintPreview, kPrintSetup, kSeparator, kRecentFiles, kSeparator, kExit});
        addMenu(text("&Edit"), {kUndo, kRedo, kSeparator, kCopy, kPaste, kSeparator, kImageFormat});
        addMenu(text("&View"), {kToolbar, kStatusBar, kLibrary, kPalette, kCommandBlock});
        QMenu* window = addMenu(text("&Window"), {});
        fillWindowMenu(window);
        connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowMenu(window); });
        addMenu(text("&Help"), {kHelpIndex, kSeparator, kAbout, kWebsite});
    }
    // Every bar shows the Tip menu from the start, not only once some menu has been opened.
    addTipMenu();
    // Commands on the active document are greyed without one (the toolbar shows them too).
    for (int id : {kClose, kSave, kSaveAs, kExportMaps, kPrint, kPrintPreview, kImageFormat,
                   kNewWindow, kCascade, kTile, kArrangeIcons, kCopy, kPaste})
        mActions->action(id)->setEnabled(mDocumentMenu);
    updateCheckMarks();
}

void CMainFrame::updateUndoActions() {
    QAction* undo = mActions->action(kUndo);
    QAction* redo = mActions->action(kRedo);
    undo->setEnabled(mHistories->canUndo());
    redo->setEnabled(mHistories->canRedo());
    undo->setText(mHistories->canUndo() ? text("&Undo ") + mHistories->undoText() : text("&Undo"));
    redo->setText(mHistories->canRedo() ? text("&Redo ") + mHistories->redoText() : text("&Redo"));
}

void CMainFrame::updateCheckMarks() {
    mActions->action(kToolbar)->setChecked(mToolBar->isVisible());
    mActions->action(kStatusBar)->setChecked(statusBar()->isVisible());
    mActions->action(kLibrary)->setChecked(mLibraryDock->isVisible());
    mActions->action(kPalette)->setChecked(mPaletteDock->isVisible());
    mActions->action(kCommandBlock)->setChecked(mCommandBlockDock->isVisible());
}

CChildFrame* CMainFrame::activeChildFrame() const {
    return qobject_cast<CChildFrame*>(mArea->activeSubWindow());
}

CQuorvelDoc* CMainFrame::activeDocument() const {
    if (mClosing)
        return nullptr;
    CChildFrame* frame = activeChildFrame();
    return frame ? frame->document() : nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : mArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = qobject_cast<CChildFrame*>(window))
            frames.append(frame);
    return frames;
}

void CMainFrame::addChildFrame(CChildFrame* frame) {
    mArea->addSubWindow(frame);
    mHistories->addStack(frame->document()->undoStack());
    connect(frame->view(), &CQuorvelView::renderProgress, mCommandBlock,
            &CCommandBlock::setProgress);
    frame->show();
    mArea->setActiveSubWindow(frame);
    updateMenus();
}

void CMainFrame::closeDocumentWindows(CQuorvelDoc* document) {
    for (CChildFrame* frame : childFrames())
        if (frame->document() == document)
            frame->closeWithoutPrompt();
}

void CMainFrame::fitChildFrame(CChildFrame* frame, Fit fit) {
    if (!frame)
        return;
    CQuorvelDoc* document = frame->document();
    frame->view()->updateScrollRange();
    // Every window stays whole inside the area, smaller than its image when it must be: one
    // reaching under a docked panel or off the bottom hides its own scroll bars and buttons.
    const QSize area = mArea->viewport()->size();
    const QSize size =
        QSize(document->width() + kFrameWidthAllowance, document->height() + kFrameHeightAllowance)
            .boundedTo(area);
    QPoint at = fit == Fit::MoveToOrigin ? QPoint(0, 0) : frame->pos();
    at.setX(std::max(0, std::min(at.x(), area.width() - size.width())));
    at.setY(std::max(0, std::min(at.y(), area.height() - size.height())));
    frame->setGeometry(QRect(at, size));
    frame->show();
    // The area places a window when it is first shown; keep it inside after that too.
    if (!QRect(QPoint(0, 0), area).contains(frame->geometry()))
        frame->move(std::max(0, std::min(frame->x(), area.width() - size.width())),
                    std::max(0, std::min(frame->y(), area.height() - size.height())));
}

void CMainFrame::cascade() {
    // Each window keeps the size of its image as far as the area allows, one title bar lower
    // and further right than the one before; the area's own cascade shrinks them all.
    const QSize area = mArea->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    QPoint at(0, 0);
    for (CChildFrame* frame : childFrames()) {
        if (frame->isMinimized())
            continue;
        if (frame->isMaximized())
            frame->showNormal();
        if (at.x() + 4 * step > area.width() || at.y() + 4 * step > area.height())
            at = QPoint(0, 0);
        const QSize size = QSize(frame->document()->width() + kFrameWidthAllowance,
                                 frame->document()->height() + kFrameHeightAllowance)
                               .boundedTo(area - QSize(at.x(), at.y()));
        frame->setGeometry(QRect(at, size));
        frame->raise();
        at += QPoint(step, step);
    }
    if (CChildFrame* last = childFrames().isEmpty() ? nullptr : childFrames().constLast())
        mArea->setActiveSubWindow(last);
}

void CMainFrame::refreshPanels(CQuorvelDoc* document) {
    if (!document)
        return;
    mPaletteBar->showDocument(document);
    mCommandBlock->showDocument(document);
    updateWindowTitle();
}

void CMainFrame::updateWindowTitle() {
    CQuorvelDoc* document = activeDocument();
    setWindowTitle(document ? text("Quorvel - ") + markedTitle(*document) : text("Quorvel"));
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow* window) {
    auto* frame = qobject_cast<CChildFrame*>(window);
    mHistories->setActiveStack(frame ? frame->document()->undoStack() : nullptr);
    if (frame)
        refreshPanels(frame->document());
    else if (mArea->subWindowList().isEmpty())
        setWindowTitle(text("Quorvel"));
}

void CMainFrame::tileHorizontally() {
    // One above the other, each as wide as the area, in creation order; minimised windows stay.
    QList<CChildFrame*> frames;
    for (CChildFrame* frame : childFrames())
        if (!frame->isMinimized())
            frames.append(frame);
    if (frames.isEmpty())
        return;
    const QSize area = mArea->viewport()->size();
    const int count = static_cast<int>(frames.size());
    for (int i = 0; i < count; ++i) {
        const int top = i * area.height() / count;
        const int bottom = (i + 1) * area.height() / count;
        frames.at(i)->showNormal();
        frames.at(i)->setGeometry(0, top, area.width(), bottom - top);
    }
}

void CMainFrame::arrangeIcons() {
    // Minimised windows line up along the bottom of the document area, left to right.
    int x = 0;
    const int bottom = mArea->viewport()->height();
    for (CChildFrame* frame : childFrames()) {
        if (!frame->isMinimized())
            continue;
        const QSize size = frame->size();
        if (x > 0 && x + size.width() > mArea->viewport()->width())
            x = 0;
        frame->move(x, bottom - size.height());
        x += size.width();
    }
}

void CMainFrame::showStatusText(const QString& message) {
    statusBar()->showMessage(message);
    statusBar()->repaint();
}

void CMainFrame::redrawActiveView() {
    if (CChildFrame* frame = activeChildFrame())
        frame->view()->renderAgain();
}

std::span<const uint8_t> CMainFrame::sphereTable() const { return mApp.sphereTable(); }

void CMainFrame::openLibraryTexture(const quorvel::TextureParams& record, const QString& path) {
    mApp.openLibraryTexture(record, path);
}

void CMainFrame::togglePanel(QWidget* bar) {
    bar->setVisible(!bar->isVisible());
    updateCheckMarks();
}

void CMainFrame::stopRendering() {
    for (CChildFrame* frame : childFrames())
        frame->view()->stopRendering();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (isBackgroundWorkRunning() || !mApp.closeAllDocuments()) {
        event->ignore();
        return;
    }
    event->accept();
}
