#pragma once

#include "engine/defaults.h"
#include "engine/textureparams.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <optional>

class QUndoStack;

// One open texture: the record being composed, the per-material defaults that material changes
// copy from, the size the view shows it at, its file and its history. Every change of the record
// goes through a named edit that becomes one undoable command; the document is modified while
// its history is away from the point last saved to a texture document. Windows (views) come and
// go; the document lives while one of them shows it.
class CQuorvelDoc : public QObject {
    Q_OBJECT

public:
    // The command block's numbers, each its own kind of edit ("Undo Turbulence").
    enum class Parameter { Detail, Turbulence, ScaleX, ScaleY, ReliefScaleX, ReliefScaleY, Intensity };

    // A new Marble texture of 160 x 120 pixels, unmodified, titled `title`.
    explicit CQuorvelDoc(const QString& title, QObject* parent = nullptr);
    ~CQuorvelDoc() override;

    const quorvel::TextureParams& record() const noexcept { return mState.record; }
    const quorvel::DefaultsTable& defaults() const noexcept { return mDefaults; }

    // The size the view scrolls over and the window fits, in pixels.
    int width() const noexcept { return mState.view.width(); }
    int height() const noexcept { return mState.view.height(); }

    // Replaces the record by one read from a file, keeping the fresh document's spare fields,
    // and takes over its image size. Not an edit: the history starts afresh.
    void loadRecord(const quorvel::TextureParams& record);

    // The named edits. One that would change no byte of the record or the view size is no
    // command at all.
    // Loads the material's presets (turbulence, detail, scale, gradient vector and colours) from
    // the document's table; picking the material already selected changes nothing.
    void setMaterial(int material);
    void setRelief(int relief);
    void setParameter(Parameter which, float value);
    // `edit` names it: "Palette Colour" or "Gradient".
    void setColourMap(const quorvel::ColourMap& map, const QString& edit);
    // Format 0 to 8 with its image size, or any other value with no size: the view then shows
    // 160 x 120 and the record's size stays.
    void setImageFormat(int format, std::optional<QSize> size);
    // Whether the image tiles without a seam ("Seamless"); off renders as before.
    void setSeamless(bool on);
    // Moves the texture by a fraction of the image, as a drag in the view does.
    void moveTexture(float dx, float dy);
    // Replaces the whole record (Paste, or a test's set-up), named `edit`.
    void replaceRecord(const quorvel::TextureParams& record, const QString& edit);

    // A dialog's edits shown live: preview() shows a record without a command, as often as the
    // user drags; commitPreview() makes what is shown one command named `edit`, endPreview()
    // goes back to the record from before the first preview.
    void preview(const quorvel::TextureParams& record);
    void commitPreview(const QString& edit);
    void endPreview();

    QUndoStack* undoStack() const noexcept { return mHistory; }

    QString title() const { return mTitle; }
    QString pathName() const { return mPathName; }
    // Takes `path` as the document's file; the title becomes the file's name.
    void setPathName(const QString& path);
    // Takes `title` and `path` as they were (a recovered document).
    void setTitleAndPath(const QString& title, const QString& path);

    bool isModified() const;
    // The document is now on disk as a texture document.
    void markSaved();
    // A copy that no file holds yet (a library texture, a recovered document): modified until
    // saved, whatever is undone.
    void markUnsaved();
    // Counts every change of the record or the saved state; autosave compares it.
    quint64 revision() const noexcept { return mRevision; }

    // Asks every view to render the texture again.
    void updateAllViews();

    // What one command swaps: the record and the view's size.
    struct State {
        quorvel::TextureParams record;
        QSize view;
    };
    // Puts `state` in place and tells the views and panels (undo and redo use it).
    void restore(const State& state);

signals:
    // The record changed: by an edit, undo, redo, a preview or a load.
    void textureChanged();
    void sizeChanged();
    void titleChanged();
    void modifiedChanged(bool modified);

private:
    // Pushes one command from the current state to `after`, unless they are the same.
    void edit(const State& after, const QString& name);
    void noteModified();

    quorvel::DefaultsTable mDefaults;
    State mState;
    std::optional<State> mPreviewBase;
    QUndoStack* mHistory;
    QString mTitle;
    QString mPathName;
    bool mUnsaved = false;
    bool mWasModified = false;
    quint64 mRevision = 0;
};

// The record's stored bytes, document and colour map: equal bytes, equal textures.
QByteArray recordBytes(const quorvel::TextureParams& record);
