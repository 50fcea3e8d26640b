#pragma once

#include "panels/panelhost.h"

#include <QList>
#include <QMainWindow>

class CChildFrame;
class CCommandActions;
class CCommandBlock;
class CLibraryBar;
class CPaletteBar;
class CQuorvelApp;
class CQuorvelDoc;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QUndoGroup;

// The main window: menus, toolbar, status bar, the three docked panels (command block right,
// library top, palette bottom) and the area the document windows live in. It routes commands
// to the application and keeps the panels in line with the active document.
class CMainFrame : public QMainWindow, public CPanelHost {
    Q_OBJECT

public:
    explicit CMainFrame(CQuorvelApp& app);
    ~CMainFrame() override;

    CCommandActions& actions() const noexcept { return *mActions; }
    QMdiArea* mdiArea() const noexcept { return mArea; }
    CCommandBlock* commandBlock() const noexcept { return mCommandBlock; }
    CPaletteBar* paletteBar() const noexcept { return mPaletteBar; }
    CLibraryBar* libraryBar() const noexcept { return mLibraryBar; }
    QDockWidget* commandBlockDock() const noexcept { return mCommandBlockDock; }
    QDockWidget* paletteDock() const noexcept { return mPaletteDock; }
    QDockWidget* libraryDock() const noexcept { return mLibraryDock; }
    QToolBar* toolBar() const noexcept { return mToolBar; }

    // The active document window and its document; null when none is open.
    CChildFrame* activeChildFrame() const;
    CQuorvelDoc* activeDocument() const override;
    QList<CChildFrame*> childFrames() const;

    // Shows `frame` in the document area and activates it.
    void addChildFrame(CChildFrame* frame);
    void closeDocumentWindows(CQuorvelDoc* document);

    // How a document window is fitted to its image: its size is the image plus the frame's
    // 12 x 31 pixels, limited to the free document area, and it is moved as far as needed to lie
    // wholly inside; MoveToOrigin puts it at the area's top-left corner.
    enum class Fit { New, KeepPosition, MoveToOrigin };
    void fitChildFrame(CChildFrame* frame, Fit fit);
    // Overlaps the windows, each title in view, each as large as its image where it fits.
    void cascade();

    // Puts the document's colours in the palette cells and its values in the command block.
    void refreshPanels(CQuorvelDoc* document);
    // "Quorvel - " and the active document's title, or "Quorvel" without one.
    void updateWindowTitle();
    // Menu 128 without documents, menu 129 with; recent files; check marks.
    void updateMenus();
    void showStatusText(const QString& text);

    // The panels' view of the program.
    void redrawActiveView() override;
    void showPrompt(const QString& text) override { showStatusText(text); }
    std::span<const uint8_t> sphereTable() const override;
    void openLibraryTexture(const quorvel::TextureParams& record, const QString& path) override;
    void arrangeIcons();
    // The windows one above the other, each as wide as the document area.
    void tileHorizontally();
    // Hides a shown panel dock (or the toolbar, or the status bar), shows a hidden one.
    void togglePanel(QWidget* bar);
    // The View menu's check marks follow what is visible.
    void updateCheckMarks();
    // Undo and Redo name the active document's next step, greyed when there is none.
    void updateUndoActions();
    // Stops every view's render in progress (Escape).
    void stopRendering();

    bool hasDocumentMenu() const noexcept { return mDocumentMenu; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createToolBar();
    void createStatusBar();
    void createDocks();
    QMenu* addMenu(const QString& title, const QList<int>& ids);
    void addTipMenu();
    void fillRecentFiles(QMenu* menu);
    void fillWindowMenu(QMenu* menu);
    void onSubWindowActivated(QMdiSubWindow* window);

    CQuorvelApp& mApp;
    CCommandActions* mActions;
    QMdiArea* mArea;
    QUndoGroup* mHistories;
    QToolBar* mToolBar = nullptr;
    CCommandBlock* mCommandBlock = nullptr;
    CPaletteBar* mPaletteBar = nullptr;
    CLibraryBar* mLibraryBar = nullptr;
    QDockWidget* mCommandBlockDock = nullptr;
    QDockWidget* mPaletteDock = nullptr;
    QDockWidget* mLibraryDock = nullptr;
    QMenu* mTipMenu = nullptr;
    QList<QMenu*> mMenus;
    bool mDocumentMenu = false;
    bool mClosing = false;
};
