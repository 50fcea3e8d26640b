#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"
#include "engine/pixel.h"
#include "panels/commandblock.h"

#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUndoStack>

class View : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        view = frame().activeChildFrame()->view();
        finishRendering();
    }
    QColor shown(QPoint at) const { return view->viewport()->grab().toImage().pixelColor(at); }
    // The view shows the engine's bytes for the record at these image pixels.
    void expectEnginePixels(std::initializer_list<QPoint> points) const {
        const quorvel::TextureParams& record = activeDocument()->record();
        const auto sampling = quorvel::Sampling::image(record.imageWidth, record.imageHeight);
        std::vector<uint8_t> rgb(3);
        for (const QPoint at : points) {
            quorvel::renderRow(record, sampling, at.y(), at.x(), at.x() + 1, rgb);
            EXPECT_EQ(shown(at), QColor(rgb[0], rgb[1], rgb[2])) << at.x() << "," << at.y();
        }
    }
    int progress() const { return frame().commandBlock()->progressBar()->value(); }

    CQuorvelView* view = nullptr;
};

TEST_F(View, ShowsTheEnginesPixelsAndADragMovesThemByWhatWasDraggedAcrossBothAxes) {
    expectEnginePixels({{0, 0}, {37, 5}, {159, 119}});
    EXPECT_EQ(shown({160, 0}), QColor(Qt::black)) << "beyond the image";
    EXPECT_EQ(progress(), 1000);
    // Brick writes its mortar width into the record when a render starts.
    changeRecord([](quorvel::TextureParams& record) {
        record.material = static_cast<int8_t>(quorvel::MaterialType::Brick);
        record.mortarWidth = 0.0f;
    });
    const quorvel::TextureParams& record = activeDocument()->record();
    const struct {
        QPoint from, to;
        float dx, dy;
    } rows[] = {{{10, 10}, {90, 11}, -0.5f, -1.0f / 120},
                {{10, 10}, {90, 10}, 0.0f, 0.0f},  // along the anchor's row nothing moves
                {{20, 20}, {20, 20}, 0.0f, 0.0f},
                {{10, 10}, {170, 130}, -1.0f, -1.0f}};
    int moves = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "to " << row.to.x() << "," << row.to.y());
        const quorvel::Vec3 before = record.offset;
        user::drag(view->viewport(), row.from, row.to);
        EXPECT_FLOAT_EQ(record.offset.x, before.x + row.dx);
        EXPECT_FLOAT_EQ(record.offset.y, before.y + row.dy);
        // A move is an edit like any other.
        moves += row.dx != 0.0f || row.dy != 0.0f;
        EXPECT_EQ(activeDocument()->undoStack()->count(), moves);
        finishRendering();
        expectEnginePixels({{3, 4}, {100, 50}});
    }
    EXPECT_EQ(record.mortarWidth, quorvel::kBrickMortarWidth);
}

TEST_F(View, ADoubleClickRendersAgainWithProgressUntilTheUserScrolls) {
    QSignalSpy renders(view, &CQuorvelView::renderProgress);
    user::doubleClick(view->viewport(), {5, 5});
    finishRendering();
    ASSERT_GE(renders.size(), 2);
    EXPECT_EQ(renders.first().first().toInt(), 0);
    EXPECT_EQ(renders.last().first().toInt(), 1000);

    changeRecord([](quorvel::TextureParams& record) { record.imageWidth = record.imageHeight = 2000; });
    finishRendering();
    // Keys do not scroll; the wheel scrolls three hundredths, and renders then leave the bar.
    user::key(view, Qt::Key_PageDown);
    user::wheel(view->viewport(), -120);
    const int top = view->verticalScrollBar()->value();
    EXPECT_EQ(top, 3 * 2000 / 100);
    finishRendering();
    renders.clear();
    user::doubleClick(view->viewport(), {5, 5});
    finishRendering();
    EXPECT_TRUE(renders.isEmpty());
    EXPECT_EQ(view->renderedRegion().top(), top);
}

TEST_F(View, EscapeStopsALargeRenderLeavingTheRestBlack) {
    changeRecord([](quorvel::TextureParams& record) {
        record.octaves = 12;
        record.reliefIntensity = 5.0f;
        record.imageWidth = 4096;
        record.imageHeight = 2836;
    });
    frame().activeChildFrame()->resize(1800, 1400);
    user::doubleClick(view->viewport(), {5, 5});
    ASSERT_TRUE(view->isRendering());
    user::key(view, Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([this] { return !view->isRendering(); }, 2000));
    // Only what the main window can show is rendered, however large the texture's window.
    const QRect region = view->renderedRegion();
    EXPECT_EQ(region.size(), view->viewport()->size().boundedTo(frame().size()));
    ASSERT_GT(region.height(), 400);
    EXPECT_LT(view->rowsDrawn(), region.height());
    EXPECT_LT(progress(), 1000);
    EXPECT_EQ(shown({10, region.height() - 1}), QColor(Qt::black));
}
