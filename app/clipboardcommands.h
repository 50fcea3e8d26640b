#pragma once

#include <QObject>
#include <QString>

class CQuorvelDoc;
class QWidget;

// Edit > Copy and Edit > Paste of whole textures. Copy puts the texture on the clipboard twice:
// as its image at the document's size, rendered off the interface thread with progress and
// Cancel, for any other program, and as the texture document's bytes for Quorvel. Paste takes a
// texture from the clipboard into the active document as one edit.
class CClipboardCommands : public QObject {
    Q_OBJECT

public:
    static inline const QString kTextureMimeType = QStringLiteral("application/x-quorvel-texture");

    explicit CClipboardCommands(QWidget* window, QObject* parent = nullptr);

    // Returns true when the clipboard now holds the texture.
    bool copy(const CQuorvelDoc* document);
    // Returns true when the document took a texture; a clipboard without one, or with bytes that
    // are not a valid texture, changes nothing and says so.
    bool paste(CQuorvelDoc* document);
    // Whether the clipboard holds a texture Paste could take.
    static bool canPaste();

signals:
    void status(const QString& text);

private:
    QWidget* mWindow;
};
