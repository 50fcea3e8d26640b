#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QTimer>

#include <memory>

class CQuorvelDoc;
class CViewRender;
class QPainter;

// Shows its document's texture at one image pixel per screen pixel, scrollable. Only the visible
// part is rendered, off the interface thread: a coarse picture first, then the exact rows as they
// arrive. Every change of the document renders again at once. Escape stops a render and leaves
// the rows not yet drawn black. A left-button drag moves the
// texture under the pointer; a double click renders again.
class CQuorvelView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CQuorvelView(CQuorvelDoc* document, QWidget* parent = nullptr);
    ~CQuorvelView() override;

    CQuorvelDoc* document() const noexcept { return mDocument; }

    // Starts rendering the visible area afresh, stopping any render in progress.
    void renderAgain();
    // Stops the render in progress, as Escape does.
    void stopRendering();
    bool isRendering() const;
    // The image rectangle of the latest render and how many of its rows are drawn.
    QRect renderedRegion() const;
    int rowsDrawn() const;
    // Whether the latest render's coarse picture has reached the screen.
    bool coarseDrawn() const noexcept { return mCoarseDrawn; }

    // Scroll range = the document's size, with page and line steps of a tenth and a hundredth.
    void updateScrollRange();

    // Whether scrolling has stopped this view's renders from driving the progress bar.
    bool noProgress() const noexcept { return mNoProgress; }
    bool isPrinting() const noexcept { return mPrinting; }
    void setPrinting(bool printing) noexcept { mPrinting = printing; }

signals:
    // 0 to 1000 as the visible area renders; not sent once the view has been scrolled.
    void renderProgress(int permille);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Starts a render of the visible area; what is drawn stays on screen until the new render's
    // coarse picture or rows replace it.
    void startRender();
    // Draws a render's coarse picture below its first `rows` exact rows.
    void paintRender(QPainter& painter, const CViewRender& render, int rows) const;
    QRect visibleImageRect() const;
    QPoint scrollPosition() const;
    void pollRender();
    void moveTexture();

    CQuorvelDoc* mDocument;
    std::unique_ptr<CViewRender> mRender;
    std::unique_ptr<CViewRender> mBackdrop;  // the previous picture, shown under a new render
    int mBackdropRows = 0;
    QTimer mPoll;
    int mLastRowsDrawn = 0;
    bool mCoarseDrawn = false;
    bool mShowCoarse = true;
    bool mNoProgress = false;
    bool mPrinting = false;
    bool mCaptured = false;  // a left-button drag is in progress
    QPoint mAnchor;
    QPoint mPoint;
};
