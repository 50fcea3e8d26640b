#include "app/textureprinter.h"

#include "app/backgroundtask.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"
#include "document/userdialogs.h"
#include "app/viewrender.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QVBoxLayout>

#include <thread>

namespace {

constexpr int kTitleTop = 25;
constexpr int kRuleGap = 20;
constexpr int kTextureGap = 25;
constexpr int kFitResolution = 300;

// Sets the view's printing flag for the length of a job.
class PrintingFlag {
public:
    explicit PrintingFlag(CQuorvelView* view) : mView(view) {
        if (mView)
            mView->setPrinting(true);
    }
    ~PrintingFlag() {
        if (mView)
            mView->setPrinting(false);
    }
    PrintingFlag(const PrintingFlag&) = delete;
    PrintingFlag& operator=(const PrintingFlag&) = delete;

private:
    QPointer<CQuorvelView> mView;
};

}  // namespace

CTexturePrinter::CTexturePrinter(QPrinter& printer, QWidget* parent)
    : mPrinter(printer), mParent(parent) {}

CTexturePrinter::PageLayout CTexturePrinter::layoutPage(const QFontMetrics& metrics, QSize page,
                                                        QSize image, bool fitToPage) {
    PageLayout layout;
    layout.titleTop = kTitleTop;
    layout.ruleY = metrics.height() + kRuleGap;
    layout.imageSize = image;
    const int top = layout.ruleY + kTextureGap;
    // A fitted texture is rendered at the size it takes on the page: a finer image of the same
    // texture, not a stretched one.
    if (fitToPage && !image.isEmpty() && page.height() > top)
        layout.imageSize = image.scaled(page.width(), page.height() - top, Qt::KeepAspectRatio)
                               .expandedTo(QSize(1, 1));
    const QRect texture(QPoint(0, top), layout.imageSize);
    layout.texture = texture.intersected(QRect(QPoint(0, 0), page));
    return layout;
}

void CTexturePrinter::paintPage(QPainter& painter, const PageLayout& layout, QSize page,
                                const QString& title, const QImage& texture) {
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, layout.titleTop + painter.fontMetrics().ascent()), title);
    painter.drawLine(0, layout.ruleY, page.width() - 1, layout.ruleY);
    if (layout.texture.isEmpty())
        return;
    if (texture.size() == layout.texture.size())
        painter.drawImage(layout.texture.topLeft(), texture);
    else
        painter.drawImage(layout.texture, texture);
}

bool CTexturePrinter::printPage(CQuorvelDoc& document) {
    // Print preview may ask for the page again while it is being made; one at a time.
    if (mPainting)
        return false;
    const QScopedValueRollback<bool> painting(mPainting, true);

    const QString title = document.title();
    const QSize page = mPrinter.pageLayout().paintRectPixels(mPrinter.resolution()).size();
    const QFont font = QGuiApplication::font();
    const quorvel::TextureParams& record = document.record();
    const PageLayout layout = layoutPage(QFontMetrics(font, &mPrinter), page,
                                         QSize(record.imageWidth, record.imageHeight), mFitToPage);
    // The print system lists the job, and a PDF names its title, after the document.
    mPrinter.setDocName(title);
    mPrinter.setCreator(QStringLiteral("Quorvel"));

    // Only the part of the texture that lands on the page is rendered, off this thread, and
    // before the job starts, so that a cancelled print prints nothing.
    QImage texture;
    if (!layout.texture.isEmpty()) {
        quorvel::TextureParams sized = record;
        QSize rendered = layout.texture.size();
        // A page-sized texture is rendered at no more than 300 dots per inch and drawn scaled:
        // finer detail does not show on paper and would take many times longer.
        if (mFitToPage && mPrinter.resolution() > kFitResolution)
            rendered =
                (layout.imageSize * kFitResolution / mPrinter.resolution()).expandedTo(QSize(1, 1));
        sized.imageWidth =
            static_cast<int16_t>(mFitToPage ? rendered.width() : layout.imageSize.width());
        sized.imageHeight =
            static_cast<int16_t>(mFitToPage ? rendered.height() : layout.imageSize.height());
        CViewRender render(sized, QRect(QPoint(0, 0), rendered));
        if (render.region().isEmpty()) {
            CUserDialogs::instance().tell(
                mParent, QStringLiteral("Not enough memory to print %1 at %2 x %3 pixels.")
                             .arg(title)
                             .arg(layout.texture.width())
                             .arg(layout.texture.height()));
            return false;
        }
        const bool completed =
            runInBackground(mParent, QStringLiteral("Printing %1...").arg(title),
                            [&render](const std::atomic<bool>& cancel,
                                      const std::function<void(int, int)>& progress) {
                                while (!render.isFinished()) {
                                    if (cancel.load())
                                        render.cancel();
                                    progress(render.rowsDone(), render.rows());
                                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                }
                            });
        if (!completed)
            return false;
        texture = render.image();
    }

    QPainter painter;
    if (!painter.begin(&mPrinter)) {
        CUserDialogs::instance().tell(mParent, QStringLiteral("Could not start print job."));
        return false;
    }
    painter.setFont(font);
    paintPage(painter, layout, page, title, texture);
    return painter.end();
}

bool CTexturePrinter::print(CQuorvelDoc& document, CQuorvelView* view) {
    QPrintDialog dialog(&mPrinter, mParent);
    dialog.setMinMax(1, 1);
    dialog.setFromTo(1, 1);
    if (!runPrintDialog(dialog))
        return false;
    PrintingFlag flag(view);
    return printPage(document);
}

bool CTexturePrinter::printDirect(CQuorvelDoc& document) { return printPage(document); }

void CTexturePrinter::preview(CQuorvelDoc& document, CQuorvelView* view) {
    PrintingFlag flag(view);
    QPrintPreviewDialog dialog(&mPrinter, mParent);
    if (auto* pages = dialog.findChild<QPrintPreviewWidget*>()) {
        pages->setViewMode(QPrintPreviewWidget::SinglePageView);
        auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), &dialog);
        QObject::connect(next, &QShortcut::activated, pages,
                         [pages] { pages->setCurrentPage(pages->currentPage() + 1); });
        auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), &dialog);
        QObject::connect(previous, &QShortcut::activated, pages,
                         [pages] { pages->setCurrentPage(pages->currentPage() - 1); });
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &document](QPrinter*) { printPage(document); });
    CUserDialogs::instance().runDialog(dialog);
}

void CTexturePrinter::setup() {
    // The print dialog is where a printer, its paper and options are chosen; here it only keeps
    // the choice for the next print.
    QPrintDialog dialog(&mPrinter, mParent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    runPrintDialog(dialog);
}

bool CTexturePrinter::runPrintDialog(QPrintDialog& dialog) {
    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("Texture"));
    auto* fit = new QCheckBox(QStringLiteral("Fit to page"), options);
    fit->setObjectName(QStringLiteral("fitToPage"));
    fit->setToolTip(QStringLiteral("Print the texture as large as the page allows, keeping its "
                                   "proportions, instead of one image pixel per printer dot."));
    fit->setChecked(mFitToPage);
    (new QVBoxLayout(options))->addWidget(fit);
    dialog.setOptionTabs({options});
    if (CUserDialogs::instance().runDialog(dialog) != QDialog::Accepted)
        return false;
    mFitToPage = fit->isChecked();
    return true;
}
