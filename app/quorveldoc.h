#pragma once

#include "engine/defaults.h"
#include "engine/textureparams.h"

#include <QObject>
#include <QString>

// One open texture: the record being composed, the per-material defaults that material changes
// copy from, and the size the view shows it at. Windows (views) come and go; the document lives
// while one of them shows it.
class CQuorvelDoc : public QObject {
    Q_OBJECT

public:
    // A new Marble texture of 160 x 120 pixels, unmodified, titled `title`.
    explicit CQuorvelDoc(const QString& title, QObject* parent = nullptr);

    quorvel::TextureParams& current() noexcept { return mCurrent; }
    const quorvel::TextureParams& current() const noexcept { return mCurrent; }
    const quorvel::DefaultsTable& defaults() const noexcept { return mDefaults; }

    // The size the view scrolls over and the window fits, in pixels.
    int width() const noexcept { return mWidth; }
    int height() const noexcept { return mHeight; }
    // Writes both the document's pair and the record's pair (1 to 32767 each).
    void setImageSize(int width, int height);
    // Writes only the document's pair: the image format's "no choice" case.
    void setViewSize(int width, int height);

    // Replaces the record by one read from a file, keeping the fresh document's spare fields,
    // and takes over its image size.
    void loadRecord(const quorvel::TextureParams& record);

    QString title() const { return mTitle; }
    QString pathName() const { return mPathName; }
    // Takes `path` as the document's file; the title becomes the file's name.
    void setPathName(const QString& path);

    // A plain flag: edits set it; saving never clears it.
    bool isModified() const noexcept { return mModified; }
    void setModified(bool modified = true);

    // Asks every view to render the texture again (after an edit of the record).
    void updateAllViews();

signals:
    void textureChanged();
    void sizeChanged();
    void titleChanged();
    void modifiedChanged(bool modified);

private:
    quorvel::DefaultsTable mDefaults;
    quorvel::TextureParams mCurrent;
    int mWidth = 160;
    int mHeight = 120;
    QString mTitle;
    QString mPathName;
    bool mModified = false;
};
