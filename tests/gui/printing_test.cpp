#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "app/quorvelview.h"
#include "app/textureprinter.h"
#include "engine/pixel.h"

#include <QAction>
#include <QFile>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

using namespace quorvel::command;

namespace {

QImage engineImage(quorvel::TextureParams record) {
    QImage image(record.imageWidth, record.imageHeight, QImage::Format_RGB32);
    const auto sampling = quorvel::Sampling::image(record.imageWidth, record.imageHeight);
    std::vector<uint8_t> rgb(3 * static_cast<size_t>(record.imageWidth));
    for (int y = 0; y < record.imageHeight; ++y) {
        quorvel::renderRow(record, sampling, y, rgb);
        for (int x = 0; x < record.imageWidth; ++x)
            image.setPixel(x, y, qRgb(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]));
    }
    return image;
}

// The user prints to a PDF file.
std::function<int(QDialog&)> printTo(const QString& file) {
    return [file](QDialog& dialog) {
        QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return int(QDialog::Accepted);
    };
}

}  // namespace

using Printing = GuiTest;

TEST_F(Printing, PageHasTitleRuleAndTextureAtDevicePixels) {
    start();
    const quorvel::TextureParams record = activeDocument()->current();
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const CTexturePrinter::PageLayout layout = CTexturePrinter::layoutPage(
        painter.fontMetrics(), page.size(), QSize(record.imageWidth, record.imageHeight));
    EXPECT_EQ(layout.ruleY, painter.fontMetrics().height() + 20);
    EXPECT_EQ(layout.texture, QRect(0, layout.ruleY + 25, 160, 120));
    // A texture larger than the page is cut at its edges, never scaled.
    const auto big =
        CTexturePrinter::layoutPage(painter.fontMetrics(), page.size(), QSize(4096, 2836));
    EXPECT_EQ(big.texture, QRect(0, big.ruleY + 25, 400, 300 - big.ruleY - 25));
    CTexturePrinter::paintPage(painter, layout, page.size(), QStringLiteral("Quorve1"),
                               engineImage(record));
    painter.end();

    EXPECT_EQ(QColor(page.pixel(200, layout.ruleY)), QColor(Qt::black))
        << "the rule crosses the page";
    EXPECT_EQ(QColor(page.pixel(200, layout.ruleY + 1)), QColor(Qt::white));
    bool titleInk = false;
    for (int y = 25; y < layout.ruleY; ++y)
        for (int x = 0; x < 60; ++x)
            titleInk = titleInk || QColor(page.pixel(x, y)) != QColor(Qt::white);
    EXPECT_TRUE(titleInk) << "the title is written from (0, 25)";
    for (int y = 0; y < 25; ++y)
        EXPECT_EQ(QColor(page.pixel(5, y)), QColor(Qt::white)) << y;
    const QImage texture = engineImage(record);
    for (const QPoint at : {QPoint(0, 0), QPoint(159, 119), QPoint(70, 33)})
        EXPECT_EQ(page.pixel(at + layout.texture.topLeft()), texture.pixel(at));
}

TEST_F(Printing, PrintsOnePageToPdfWithoutAPrinter) {
    start();
    CQuorvelView* view = frame().activeChildFrame()->view();
    const QString pdf = path(QStringLiteral("page.pdf"));
    int from = 0;
    int to = 0;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        auto& print = static_cast<QPrintDialog&>(dialog);
        from = print.minPage();
        to = print.maxPage();
        return printTo(pdf)(dialog);
    });
    frame().actions().action(kPrint)->trigger();
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 1);
    EXPECT_FALSE(view->isPrinting());

    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              1);
    EXPECT_TRUE(bytes.contains("/Image")) << "the texture is on the page";
}

TEST_F(Printing, AJobThatCannotStartIsReported) {
    start();
    dialogs.dialogSteps.push_back(printTo(path(QStringLiteral("missing/page.pdf"))));
    frame().actions().action(kPrint)->trigger();
    EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Could not start print job.")});
}

TEST_F(Printing, PreviewShowsOnePageWhileThePrintingFlagIsUp) {
    start();
    CQuorvelView* view = frame().activeChildFrame()->view();
    bool printingDuringPreview = false;
    int pages = 0;
    QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::AllPagesView;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        waitUntil([preview] { return preview->pageCount() > 0; }, 5000);
        printingDuringPreview = view->isPrinting();
        pages = preview->pageCount();
        mode = preview->viewMode();
        return int(QDialog::Rejected);
    });
    frame().actions().action(kPrintPreview)->trigger();
    EXPECT_TRUE(printingDuringPreview);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(mode, QPrintPreviewWidget::SinglePageView);
    EXPECT_FALSE(view->isPrinting());
}

TEST_F(Printing, SetupChoosesWhereTheNextPrintGoesWithoutPrinting) {
    start();
    const QString pdf = path(QStringLiteral("setup.pdf"));
    QString title;
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        title = dialog.windowTitle();
        return printTo(pdf)(dialog);
    });
    frame().actions().action(kPrintSetup)->trigger();
    EXPECT_EQ(title, QStringLiteral("Print Setup"));
    EXPECT_FALSE(QFile::exists(pdf)) << "setup prints nothing";

    // The next print starts from the chosen output.
    QString chosen;
    dialogs.dialogSteps.push_back([&chosen](QDialog& dialog) {
        chosen = static_cast<QPrintDialog&>(dialog).printer()->outputFileName();
        return int(QDialog::Accepted);
    });
    frame().actions().action(kPrint)->trigger();
    EXPECT_EQ(chosen, pdf);
    EXPECT_TRUE(QFile::exists(pdf));
}
