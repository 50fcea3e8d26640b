#include "library/librarystrip.h"

#include "engine/pixel.h"
#include "library/thumbnailrenderer.h"

#include <QFile>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

using quorvel::Sampling;

namespace {

constexpr int kThumbnailWidth = Sampling::kThumbnailWidth;
constexpr int kThumbnailHeight = Sampling::kThumbnailHeight;
constexpr int kMarkerSize = 8;

struct Bevel {
    QColor outerTopLeft;
    QColor outerBottomRight;
    QColor innerTopLeft;
    QColor innerBottomRight;
};

const Bevel kUnselected{{64, 64, 64}, {255, 255, 255}, {0, 0, 0}, {192, 192, 192}};
const Bevel kSelected{{0, 0, 255}, {0, 255, 255}, {0, 0, 128}, {0, 128, 255}};

// The pixels of an axis-aligned line from `from` up to, but not including, `to`.
void drawSegment(QPainter& painter, QPoint from, QPoint to, const QColor& colour) {
    const int left = std::min(from.x(), to.x());
    const int top = std::min(from.y(), to.y());
    QRect pixels(left, top, std::abs(to.x() - from.x()) + 1, std::abs(to.y() - from.y()) + 1);
    if (from.y() == to.y())
        pixels = from.x() < to.x() ? pixels.adjusted(0, 0, -1, 0) : pixels.adjusted(1, 0, 0, 0);
    else
        pixels = from.y() < to.y() ? pixels.adjusted(0, 0, 0, -1) : pixels.adjusted(0, 1, 0, 0);
    painter.fillRect(pixels, colour);
}

// Two segments through `corner`, the last point left out, as bevel lines are drawn.
void drawCorner(QPainter& painter, QPoint from, QPoint corner, QPoint to, const QColor& colour) {
    drawSegment(painter, from, corner, colour);
    drawSegment(painter, corner, to, colour);
}

}  // namespace

CLibraryStrip::CLibraryStrip(QWidget* parent)
    : QAbstractScrollArea(parent), mRenderer(std::make_unique<CThumbnailRenderer>()) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click gives the strip the focus, so that F1 knows the library is in use; the arrow
    // keys then move it as its scroll bar does.
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    // Clicks beside the thumb leave the position alone.
    bar->setPageStep(0);
    setFixedHeight(kClientHeight + bar->sizeHint().height());
    setMinimumWidth(kSlotWidth);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(mRenderer.get(), &CThumbnailRenderer::rendered, this, &CLibraryStrip::takeThumbnail);
}

CLibraryStrip::~CLibraryStrip() = default;

std::vector<quorvel::LibraryFileEntry> CLibraryStrip::fileEntries() const {
    std::vector<quorvel::LibraryFileEntry> files;
    files.reserve(mSlots.size());
    for (const Slot& s : mSlots)
        files.push_back(s.entry.file);
    return files;
}

CLibraryStrip::Slot CLibraryStrip::makeSlot(LibraryEntry entry) {
    // Brick's write lands in the entry's own record, as it would if rendered in place.
    quorvel::applyRenderWrites(entry.record);
    Slot made{std::move(entry), mNextKey++, QImage()};
    mRenderer->request(made.key, made.entry.record);
    return made;
}

void CLibraryStrip::replaceEntries(std::vector<LibraryEntry> entries) {
    mRenderer->clear();
    mSlots.clear();
    mSlots.reserve(entries.size());
    for (LibraryEntry& e : entries)
        mSlots.push_back(makeSlot(std::move(e)));
    mSelection = 0;
    mFirst = 0;
    mReady = 0;
}

int CLibraryStrip::appendEntry(LibraryEntry entry) {
    mSlots.push_back(makeSlot(std::move(entry)));
    return count() - 1;
}

void CLibraryStrip::removeEntry(int index) {
    const auto at = mSlots.begin() + index;
    if (!at->thumbnail.isNull())
        --mReady;
    mSlots.erase(at);
}

void CLibraryStrip::setSelection(int index) {
    mSelection = std::clamp(index, 0, std::max(0, count() - 1));
}

void CLibraryStrip::updateStrip() {
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, count() - 1));
    bar->setValue(mSelection);
    mFirst = mSelection;
    prioritiseVisible();
    viewport()->update();
}

void CLibraryStrip::scrollContentsBy(int, int) {
    mFirst = horizontalScrollBar()->value();
    prioritiseVisible();
    viewport()->update();
}

void CLibraryStrip::prioritiseVisible() {
    std::vector<uint64_t> keys;
    const int shown = viewport()->width() / kSlotWidth + 1;
    for (int i = mFirst; i < count() && i < mFirst + shown; ++i)
        if (slot(i).thumbnail.isNull())
            keys.push_back(slot(i).key);
    if (!keys.empty())
        mRenderer->prioritise(keys);
}

void CLibraryStrip::takeThumbnail(uint64_t key, const QImage& thumbnail) {
    // Keys grow with the entries' order, so the slots stay sorted by key.
    const auto found = std::lower_bound(mSlots.begin(), mSlots.end(), key,
                                        [](const Slot& s, uint64_t k) { return s.key < k; });
    if (found == mSlots.end() || found->key != key || !found->thumbnail.isNull())
        return;  // deleted, or the library was replaced meanwhile
    found->thumbnail = thumbnail;
    ++mReady;
    const int k = static_cast<int>(found - mSlots.begin()) - mFirst;
    if (k >= 0)
        viewport()->update(k * kSlotWidth, 0, kSlotWidth, viewport()->height());
}

int CLibraryStrip::entryAt(int x) const {
    if (mSlots.empty() || x < 0)
        return -1;
    const int index = x / kSlotWidth + mFirst;
    return index < count() ? index : -1;
}

QString CLibraryStrip::toolTipFor(int index) const {
    const LibraryEntry& e = entry(index);
    QString text = QFile::decodeName(e.file.name.c_str()) + QLatin1Char('\n') +
                   QFile::decodeName(e.file.path.c_str());
    if (!e.sourceNote.isEmpty())
        text += QLatin1Char('\n') + e.sourceNote;
    return text;
}

void CLibraryStrip::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    painter.fillRect(client, Qt::black);
    mFirst = horizontalScrollBar()->value();
    const int left = client.left();
    const int top = client.top();
    const int right = client.right();
    const int bottom = client.bottom();
    // Every slot that starts inside the strip gets its bevel, with or without an entry.
    for (int k = 0; left + kSlotWidth * k <= right; ++k)
        paintSlotFrame(painter, left + kSlotWidth * k, top, bottom, k == mSelection - mFirst);
    for (int i = mFirst; i < count(); ++i) {
        const int slotLeft = left + kSlotWidth * (i - mFirst);
        if (slotLeft + 2 > right)
            break;
        painter.fillRect(QRect(QPoint(slotLeft + 2, top + 4), QPoint(slotLeft + 51, top + 39)),
                         Qt::black);
        paintEntry(painter, i, slotLeft + 2, bottom);
    }
}

void CLibraryStrip::paintSlotFrame(QPainter& painter, int left, int top, int bottom,
                                   bool selected) const {
    const Bevel& bevel = selected ? kSelected : kUnselected;
    const int right = left + kSlotWidth;
    drawCorner(painter, {left, bottom}, {left, top}, {right, top}, bevel.outerTopLeft);
    drawCorner(painter, {left, bottom}, {right, bottom}, {right, top}, bevel.outerBottomRight);
    drawCorner(painter, {left + 1, bottom - 1}, {left + 1, top + 1}, {right - 1, top + 1},
               bevel.innerTopLeft);
    drawCorner(painter, {left + 1, bottom - 1}, {right - 1, bottom - 1}, {right - 1, top + 1},
               bevel.innerBottomRight);
}

void CLibraryStrip::paintEntry(QPainter& painter, int index, int left, int bottom) const {
    // The thumbnail's bottom row lies just above the inner bevel line.
    const QRect area(left, bottom - 1 - kThumbnailHeight, kThumbnailWidth, kThumbnailHeight);
    const Slot& s = slot(index);
    if (s.thumbnail.isNull())
        painter.fillRect(area, kPlaceholder);
    else
        painter.drawImage(area.topLeft(), s.thumbnail);
    if (!s.entry.fellBack())
        return;
    // A small corner triangle: this entry shows the Marble defaults, not its file.
    for (int row = 0; row < kMarkerSize; ++row)
        painter.fillRect(area.right() + 1 - (kMarkerSize - row), area.top() + row,
                         kMarkerSize - row, 1, kFallbackMarker);
}

void CLibraryStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = entryAt(static_cast<int>(event->position().x()));
    if (index < 0 || index == mSelection)
        return;
    mSelection = index;
    viewport()->update();
}

void CLibraryStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = entryAt(static_cast<int>(event->position().x()));
    if (index < 0)
        return;
    if (index != mSelection) {
        mSelection = index;
        viewport()->update();
    }
    emit openRequested(index);
}

bool CLibraryStrip::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = entryAt(help->pos().x());
    if (index < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), toolTipFor(index), viewport());
    return true;
}
