#include "app/textureprinter.h"

#include "app/backgroundtask.h"
#include "app/quorveldoc.h"
#include "app/quorvelview.h"
#include "app/userdialogs.h"
#include "app/viewrender.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QShortcut>

#include <thread>

namespace {

constexpr int kTitleTop = 25;
constexpr int kRuleGap = 20;
constexpr int kTextureGap = 25;

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
                                                        QSize image) {
    PageLayout layout;
    layout.titleTop = kTitleTop;
    layout.ruleY = metrics.height() + kRuleGap;
    const QRect texture(0, layout.ruleY + kTextureGap, image.width(), image.height());
    layout.texture = texture.intersected(QRect(QPoint(0, 0), page));
    return layout;
}

void CTexturePrinter::paintPage(QPainter& painter, const PageLayout& layout, QSize page,
                                const QString& title, const QImage& texture) {
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, layout.titleTop + painter.fontMetrics().ascent()), title);
    painter.drawLine(0, layout.ruleY, page.width() - 1, layout.ruleY);
    if (!layout.texture.isEmpty())
        painter.drawImage(layout.texture.topLeft(), texture);
}

bool CTexturePrinter::printPage(CQuorvelDoc& document) {
    // Print preview may ask for the page again while it is being made; one at a time.
    if (mPainting)
        return false;
    const QScopedValueRollback<bool> painting(mPainting, true);

    const QString title = document.title();
    const QSize page = mPrinter.pageLayout().paintRectPixels(mPrinter.resolution()).size();
    const QFont font = QGuiApplication::font();
    quorvel::TextureParams& record = document.current();
    const PageLayout layout = layoutPage(QFontMetrics(font, &mPrinter), page,
                                         QSize(record.imageWidth, record.imageHeight));

    // Only the part of the texture that lands on the page is rendered, off this thread, and
    // before the job starts, so that a cancelled print prints nothing.
    QImage texture;
    if (!layout.texture.isEmpty()) {
        quorvel::applyRenderWrites(record);
        CViewRender render(record, QRect(QPoint(0, 0), layout.texture.size()));
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
    if (CUserDialogs::instance().runDialog(dialog) != QDialog::Accepted)
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
    CUserDialogs::instance().runDialog(dialog);
}
