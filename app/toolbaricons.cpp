#include "app/toolbaricons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

const char* themeName(ToolbarGlyph glyph) {
    switch (glyph) {
    case ToolbarGlyph::New: return "document-new";
    case ToolbarGlyph::Open: return "document-open";
    case ToolbarGlyph::Save: return "document-save";
    case ToolbarGlyph::Print: return "document-print";
    case ToolbarGlyph::HelpTopics: return "help-contents";
    case ToolbarGlyph::ContextHelp: return "help-whatsthis";
    }
    return "";
}

// Each glyph is drawn on a 16 x 16 grid that the painter scales to the icon's size.
void drawPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13, 4.5);
    page.lineTo(13, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({{10, 1.5}, {10, 4.5}, {13, 4.5}}));
}

void drawFolder(QPainter& p) {
    p.setBrush(QColor(0xe8, 0xc0, 0x50));
    p.drawPolygon(
        QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}));
    p.setBrush(QColor(0xf6, 0xd8, 0x78));
    p.drawPolygon(QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {14.5, 13.5}}));
}

void drawDisk(QPainter& p) {
    p.setBrush(QColor(0x40, 0x60, 0xa0));
    p.drawRect(QRectF(2, 2, 12, 12));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 8, 5));
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(QRectF(5, 10, 6, 4));
}

void drawPrinter(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(0x90, 0x90, 0x98));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10, 7, 4.5));
    p.drawLine(QPointF(6, 12), QPointF(10, 12));
}

void drawQuestion(QPainter& p, QRectF circle) {
    p.setBrush(QColor(0x30, 0x70, 0xd0));
    p.drawEllipse(circle);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(qRound(circle.height() * 0.8));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(circle, Qt::AlignCenter, QStringLiteral("?"));
}

void drawArrow(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({{1.5, 1.5}, {1.5, 11}, {4, 8.5}, {6, 13}, {7.5, 12.3}, {5.6, 8}, {9, 8}}));
}

class CPaintedIcon : public QIconEngine {
public:
    explicit CPaintedIcon(ToolbarGlyph glyph) : mGlyph(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        QPen pen(mode == QIcon::Disabled ? QColor(0xa0, 0xa0, 0xa0) : QColor(0x20, 0x20, 0x20));
        pen.setWidthF(1.0);
        painter->setPen(pen);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.45);
        switch (mGlyph) {
        case ToolbarGlyph::New: drawPage(*painter); break;
        case ToolbarGlyph::Open: drawFolder(*painter); break;
        case ToolbarGlyph::Save: drawDisk(*painter); break;
        case ToolbarGlyph::Print: drawPrinter(*painter); break;
        case ToolbarGlyph::HelpTopics: drawQuestion(*painter, QRectF(1.5, 1.5, 13, 13)); break;
        case ToolbarGlyph::ContextHelp:
            drawArrow(*painter);
            drawQuestion(*painter, QRectF(7.5, 6.5, 8, 8));
            break;
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new CPaintedIcon(mGlyph); }

private:
    ToolbarGlyph mGlyph;
};

}  // namespace

QIcon toolbarIcon(ToolbarGlyph glyph) {
    return QIcon::fromTheme(QString::fromLatin1(themeName(glyph)), QIcon(new CPaintedIcon(glyph)));
}
