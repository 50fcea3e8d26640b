#include "app/quorvelview.h"

#include "document/quorveldoc.h"
#include "app/viewrender.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
// About one screen refresh: an edit shows as soon as its coarse picture is ready.
constexpr int kPollMilliseconds = 16;
constexpr int kProgressRange = 1000;
}  // namespace

CQuorvelView::CQuorvelView(CQuorvelDoc* document, QWidget* parent)
    : QAbstractScrollArea(parent), mDocument(document) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    mPoll.setInterval(kPollMilliseconds);
    connect(&mPoll, &QTimer::timeout, this, &CQuorvelView::pollRender);
    connect(document, &CQuorvelDoc::textureChanged, this, &CQuorvelView::renderAgain);
    connect(document, &CQuorvelDoc::sizeChanged, this, [this] {
        updateScrollRange();
        renderAgain();
    });
    updateScrollRange();
}

CQuorvelView::~CQuorvelView() = default;

QPoint CQuorvelView::scrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QRect CQuorvelView::visibleImageRect() const {
    // No more than the main window can show, however large this window was made.
    const QRect visible(scrollPosition(), viewport()->size().boundedTo(window()->size()));
    return visible.intersected(QRect(0, 0, mDocument->width(), mDocument->height()));
}

void CQuorvelView::updateScrollRange() {
    const int width = mDocument->width();
    const int height = mDocument->height();
    // Shown scroll bars take room from the viewport; an image that fits without them must not
    // keep them.
    const QSize whole = maximumViewportSize();
    const QSize area =
        width <= whole.width() && height <= whole.height() ? whole : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, height - area.height()));
    horizontalScrollBar()->setPageStep(std::max(1, width / 10));
    verticalScrollBar()->setPageStep(std::max(1, height / 10));
    horizontalScrollBar()->setSingleStep(std::max(1, width / 100));
    verticalScrollBar()->setSingleStep(std::max(1, height / 100));
}

void CQuorvelView::renderAgain() { startRender(); }

void CQuorvelView::startRender() {
    // What is drawn stays in place until the new render covers it, so that neither a scroll
    // nor an edit (a slider being dragged) makes the picture flash black.
    if (mRender && (mLastRowsDrawn > 0 || mRender->coarseReady())) {
        mRender->cancel();
        mBackdrop = std::move(mRender);
        mBackdropRows = mLastRowsDrawn;
    }
    mRender.reset();
    mShowCoarse = true;
    mRender = std::make_unique<CViewRender>(mDocument->record(), visibleImageRect());
    mLastRowsDrawn = 0;
    mCoarseDrawn = false;
    if (!mNoProgress && !mPrinting)
        emit renderProgress(0);
    mPoll.start();
    viewport()->update();
}

void CQuorvelView::stopRendering() {
    if (!mRender)
        return;
    mRender->cancel();
    // Rows not rendered stay black: no coarse picture pretends to be the texture.
    mShowCoarse = false;
    mBackdrop.reset();
    pollRender();
    viewport()->update();
}

// Until the view has taken the last rows in, not just until the render thread ends.
bool CQuorvelView::isRendering() const { return mPoll.isActive(); }

QRect CQuorvelView::renderedRegion() const { return mRender ? mRender->region() : QRect(); }

int CQuorvelView::rowsDrawn() const { return mRender ? mLastRowsDrawn : 0; }

void CQuorvelView::pollRender() {
    if (!mRender) {
        mPoll.stop();
        return;
    }
    const bool finished = mRender->isFinished();
    const int rows = mRender->rowsDone();
    if (mRender->coarseReady() && !mCoarseDrawn) {
        mCoarseDrawn = true;
        viewport()->update();
    }
    if (rows != mLastRowsDrawn) {
        // Only the rows that arrived since the last look need painting.
        const QRect region = mRender->region();
        const QPoint at = region.topLeft() - scrollPosition();
        viewport()->update(at.x(), at.y() + mLastRowsDrawn, region.width(), rows - mLastRowsDrawn);
        mLastRowsDrawn = rows;
        if (!mNoProgress && !mPrinting && mRender->rows() > 0)
            emit renderProgress(static_cast<int>(int64_t{rows} * kProgressRange / mRender->rows()));
    }
    if (finished && rows == mRender->rows())
        mBackdrop.reset();
    if (finished || mRender->wasCancelled())
        mPoll.stop();
}

void CQuorvelView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::black);
    if (mBackdrop)
        paintRender(painter, *mBackdrop, mBackdropRows);
    if (mRender)
        paintRender(painter, *mRender, mLastRowsDrawn);
    if (mCaptured) {
        // Drawn by inverting, so the line shows on any colour and leaves no trace.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawLine(mAnchor, mPoint);
    }
}

void CQuorvelView::paintRender(QPainter& painter, const CViewRender& render, int rows) const {
    const QRect region = render.region();
    const QPoint at = region.topLeft() - scrollPosition();
    if (mShowCoarse && render.coarseReady() && rows < region.height()) {
        // Each coarse sample fills its block; the exact rows are drawn over them.
        const int step = CViewRender::kCoarseStep;
        painter.save();
        painter.setClipRect(QRect(at + QPoint(0, rows), QSize(region.width(), region.height() - rows)));
        painter.drawImage(QRect(at, render.coarse().size() * step), render.coarse());
        painter.restore();
    }
    if (rows > 0)
        painter.drawImage(at, render.image(), QRect(0, 0, region.width(), rows));
}

void CQuorvelView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    const QRect visible = visibleImageRect();
    if (!mRender || !mRender->region().contains(visible) || mRender->wasCancelled())
        startRender();
}

void CQuorvelView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // After the first scroll the view's renders no longer drive the progress bar.
    mNoProgress = true;
    startRender();
}

void CQuorvelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    mAnchor = mPoint = event->position().toPoint();
    mCaptured = true;
    viewport()->update();
}

void CQuorvelView::mouseMoveEvent(QMouseEvent* event) {
    if (!mCaptured)
        return;
    mPoint = event->position().toPoint();
    viewport()->update();
}

void CQuorvelView::mouseReleaseEvent(QMouseEvent* event) {
    if (!mCaptured || event->button() != Qt::LeftButton)
        return;
    mPoint = event->position().toPoint();
    mCaptured = false;
    viewport()->update();
    // A drag along the anchor's row or column changes nothing.
    if (mPoint.x() != mAnchor.x() && mPoint.y() != mAnchor.y())
        moveTexture();
}

void CQuorvelView::moveTexture() {
    // The texture follows the pointer, as one edit that can be undone.
    const quorvel::TextureParams& record = mDocument->record();
    const float dx = record.imageWidth != 0
                         ? static_cast<float>(mAnchor.x() - mPoint.x()) / record.imageWidth
                         : 0.0f;
    const float dy = record.imageHeight != 0
                         ? static_cast<float>(mAnchor.y() - mPoint.y()) / record.imageHeight
                         : 0.0f;
    mDocument->moveTexture(dx, dy);
}

void CQuorvelView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        renderAgain();
}

void CQuorvelView::keyPressEvent(QKeyEvent* event) {
    // No key scrolls or edits here; Escape stops a render in progress.
    if (event->key() == Qt::Key_Escape && isRendering()) {
        stopRendering();
        return;
    }
    event->ignore();
}
