#pragma once

#include "library/libraryentry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

class CThumbnailRenderer;

// The in-memory library shown as a horizontal strip of 54-pixel slots, each with a bevel and
// the entry's 50 x 39 thumbnail. The scroll bar's position is the first entry shown, from 0 to
// count - 1. Thumbnails are rendered once per entry, off the interface thread; until one
// arrives its slot shows a placeholder, and painting never runs the engine. A click selects an
// entry, a double click asks for it to be opened. An entry showing the Marble defaults because
// its file could not be read carries a marker, and its tooltip says why.
class CLibraryStrip : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kSlotWidth = 54;
    // Client height: the bevel and a 39-pixel thumbnail between its inner lines.
    static constexpr int kClientHeight = 43;
    static constexpr int kMaxEntries = quorvel::kMaxLibraryEntries;
    static inline const QColor kPlaceholder{96, 96, 96};
    static inline const QColor kFallbackMarker{255, 64, 0};

    explicit CLibraryStrip(QWidget* parent = nullptr);
    ~CLibraryStrip() override;

    int count() const noexcept { return static_cast<int>(mSlots.size()); }
    int selection() const noexcept { return mSelection; }
    int firstShown() const noexcept { return mFirst; }
    // Entries 0 to count - 1.
    const LibraryEntry& entry(int index) const { return slot(index).entry; }
    // Null until the entry's thumbnail has been rendered.
    QImage thumbnail(int index) const { return slot(index).thumbnail; }
    int readyThumbnails() const noexcept { return mReady; }
    std::vector<quorvel::LibraryFileEntry> fileEntries() const;

    // These change the library without showing it: updateStrip() follows each change.
    // Replaces every entry; selection and first shown become 0.
    void replaceEntries(std::vector<LibraryEntry> entries);
    // Appends an entry (count must be below kMaxEntries) and returns its index.
    int appendEntry(LibraryEntry entry);
    void removeEntry(int index);
    // 0 to count - 1, or 0 for an empty library.
    void setSelection(int index);

    // Scroll range 0 to count - 1, scroll position and first shown = the selection, repaint.
    void updateStrip();

    // The entry under client x, or -1 past the last entry.
    int entryAt(int x) const;
    // The entry's name and path, and where its texture came from when not from that path.
    QString toolTipFor(int index) const;

signals:
    // A double click on entry `index`, which is now selected.
    void openRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Slot {
        LibraryEntry entry;
        uint64_t key = 0;
        QImage thumbnail;
    };

    const Slot& slot(int index) const { return mSlots.at(static_cast<size_t>(index)); }
    Slot makeSlot(LibraryEntry entry);
    void takeThumbnail(uint64_t key, const QImage& thumbnail);
    // Asks for the thumbnails of the entries in view first.
    void prioritiseVisible();
    void paintSlotFrame(QPainter& painter, int left, int top, int bottom, bool selected) const;
    void paintEntry(QPainter& painter, int index, int left, int bottom) const;

    std::vector<Slot> mSlots;
    int mSelection = 0;
    int mFirst = 0;
    int mReady = 0;
    uint64_t mNextKey = 1;
    std::unique_ptr<CThumbnailRenderer> mRenderer;
};
