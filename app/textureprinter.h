#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class CQuorvelDoc;
class CQuorvelView;
class QFontMetrics;
class QPainter;
class QPrintDialog;
class QPrinter;
class QWidget;

// Prints a texture on one page: the title at (0, 25) device pixels, a rule under it and the
// texture under the rule, either at one image pixel per device pixel cut at the page's edges or,
// with "Fit to page", as large as the page allows at the image's aspect ratio. Print, Print
// Preview (one page at a time) and Print Setup go through the application's printer. Jobs are
// named after the document's title.
class CTexturePrinter {
public:
    CTexturePrinter(QPrinter& printer, QWidget* parent);

    // Print dialog, then the page. Returns false when cancelled or failed (the user was told).
    bool print(CQuorvelDoc& document, CQuorvelView* view);
    // Prints without a dialog, for the command line.
    bool printDirect(CQuorvelDoc& document);
    // The print dialog's "Fit to page" choice; off at first.
    bool fitToPage() const noexcept { return mFitToPage; }
    void setFitToPage(bool fit) noexcept { mFitToPage = fit; }
    void preview(CQuorvelDoc& document, CQuorvelView* view);
    void setup();

    // Where a page's parts go, in device pixels of a printable area `page` wide and high.
    struct PageLayout {
        int titleTop = 25;
        int ruleY = 0;    // the font's height + 20
        QRect texture;    // top-left at (0, ruleY + 25), clipped to the page
        QSize imageSize;  // the image size the texture part is rendered at
    };
    static PageLayout layoutPage(const QFontMetrics& metrics, QSize page, QSize image,
                                 bool fitToPage = false);
    // Paints a page whose texture part `texture` is already rendered.
    static void paintPage(QPainter& painter, const PageLayout& layout, QSize page,
                          const QString& title, const QImage& texture);

private:
    bool printPage(CQuorvelDoc& document);
    // Runs the print dialog with the "Fit to page" option; true when the user chose to print.
    bool runPrintDialog(QPrintDialog& dialog);

    QPrinter& mPrinter;
    QWidget* mParent;
    bool mPainting = false;
    bool mFitToPage = false;
};
