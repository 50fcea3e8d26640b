#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "app/quorvelview.h"
#include "engine/pixel.h"
#include "panels/commandblock.h"

#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace {

// The engine's bytes for pixel (x, y) of the record's image.
QColor enginePixel(const quorvel::TextureParams& record, int x, int y) {
    std::vector<uint8_t> rgb(3);
    quorvel::renderRow(record, quorvel::Sampling::image(record.imageWidth, record.imageHeight), y,
                       x, x + 1, rgb);
    return QColor(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

class View : public GuiTest {
protected:
    CQuorvelView* startView() {
        start();
        CQuorvelView* view = frame().activeChildFrame()->view();
        finishRendering();
        return view;
    }
};

TEST_F(View, ShowsTheEnginesPixelsAndDrivesTheProgressBar) {
    CQuorvelView* view = startView();
    const QImage shown = view->viewport()->grab().toImage();
    const quorvel::TextureParams& record = activeDocument()->current();
    for (const QPoint at : {QPoint(0, 0), QPoint(37, 5), QPoint(159, 119), QPoint(80, 60)})
        EXPECT_EQ(QColor(shown.pixel(at)), enginePixel(record, at.x(), at.y()))
            << at.x() << "," << at.y();
    // Outside the image the view stays black.
    ASSERT_GT(shown.width(), 160);
    EXPECT_EQ(QColor(shown.pixel(160, 0)), QColor(Qt::black));
    EXPECT_EQ(frame().commandBlock()->progressBar()->maximum(), 1000);
    EXPECT_EQ(frame().commandBlock()->progressBar()->value(), 1000);
}

TEST_F(View, DragMovesTheTextureByTheRowsAndColumnsDragged) {
    CQuorvelView* view = startView();
    quorvel::TextureParams& record = activeDocument()->current();
    QWidget* area = view->viewport();

    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(area, QPoint(50, 11));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(90, 11));
    EXPECT_EQ(record.offset.x, -0.5f);
    EXPECT_EQ(record.offset.y, -0.008333334f);
    EXPECT_FALSE(activeDocument()->isModified());

    // Along the anchor's row nothing moves, nor without moving at all.
    record.offset = {};
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(90, 10));
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(record.offset.x, 0.0f);
    EXPECT_EQ(record.offset.y, 0.0f);

    // A whole image diagonally shows the neighbouring unit square.
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(170, 130));
    EXPECT_EQ(record.offset.x, -1.0f);
    EXPECT_EQ(record.offset.y, -1.0f);
    finishRendering();
    const QImage shown = area->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(3, 4)), enginePixel(record, 3, 4));
}

TEST_F(View, DoubleClickRendersAgainWithProgressUntilScrolled) {
    CQuorvelView* view = startView();
    QSignalSpy progress(view, &CQuorvelView::renderProgress);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    finishRendering();
    ASSERT_GE(progress.size(), 2);
    EXPECT_EQ(progress.first().first().toInt(), 0);
    EXPECT_EQ(progress.last().first().toInt(), 1000);

    // Once scrolled, the view's renders no longer drive the progress bar.
    activeDocument()->setImageSize(2000, 2000);
    finishRendering();
    // Keys do not scroll the view; only the scroll bars do.
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(view->noProgress());
    view->verticalScrollBar()->setValue(100);
    finishRendering();
    EXPECT_TRUE(view->noProgress());
    progress.clear();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    finishRendering();
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_EQ(view->renderedRegion().top(), 100);
}

TEST_F(View, EscapeStopsALargeRenderLeavingTheRestBlack) {
    CQuorvelView* view = startView();
    CQuorvelDoc* document = activeDocument();
    document->current().octaves = 12;
    document->setImageSize(4096, 2836);
    document->current().reliefIntensity = 5.0f;
    frame().activeChildFrame()->resize(1800, 1400);
    view->renderAgain();
    ASSERT_TRUE(view->isRendering());
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([view] { return !view->isRendering(); }, 2000));
    settle();

    const QRect region = view->renderedRegion();
    ASSERT_GT(region.height(), 400);
    EXPECT_LT(view->rowsDrawn(), region.height());
    EXPECT_LT(frame().commandBlock()->progressBar()->value(), 1000);
    const QImage shown = view->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(10, region.height() - 1)), QColor(Qt::black));
}

TEST_F(View, AnEditRestartsTheRenderAndBrickShowsItsMortarWidth) {
    CQuorvelView* view = startView();
    quorvel::TextureParams& record = activeDocument()->current();
    record.material = static_cast<int8_t>(quorvel::MaterialType::Brick);
    record.mortarWidth = 0.0f;
    activeDocument()->updateAllViews();
    EXPECT_EQ(record.mortarWidth, quorvel::kBrickMortarWidth);
    finishRendering();
    const QImage shown = view->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(100, 50)), enginePixel(record, 100, 50));
}

TEST_F(View, AWindowFittedToALargerImageShowsNoScrollBars) {
    CQuorvelView* view = startView();
    CChildFrame* window = frame().activeChildFrame();
    activeDocument()->setImageSize(320, 240);
    frame().fitChildFrame(window, CMainFrame::Fit::KeepPosition);
    settle();
    EXPECT_GE(view->viewport()->width(), 320);
    EXPECT_GE(view->viewport()->height(), 240);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());

    // Smaller than the image, the window scrolls again.
    window->resize(200, 150);
    settle();
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 320 - view->viewport()->width());
}
