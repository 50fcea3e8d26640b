#pragma once

#include "files/filestatus.h"

#include <QObject>
#include <QString>

class CQuorvelApp;
class CQuorvelDoc;

// Opening, saving and exporting texture documents: Open, Save, the recent-file commands, Save
// As (SaveTextureAs), the Close command's question and PromptSaveDocument. A file that cannot be
// read or written gives a message naming it and the reason, and changes nothing.
class CFileCommands : public QObject {
    Q_OBJECT

public:
    explicit CFileCommands(CQuorvelApp& app);

    void open();
    void openRecent(int k);
    // Writes the active document to its path, or to its title (+ ".qvl") in the current folder,
    // without a dialog. A document written this way is no longer modified.
    bool save(CQuorvelDoc* document);
    // Asks for a name and a type and writes the document or its image. Only a texture document
    // gives the document a path and counts as saving it; the other types export a copy.
    // Returns true when a file was written.
    bool SaveTextureAs(CQuorvelDoc* document);
    // Export Maps: asks for a base name, a format and the maps, then writes them all at the
    // document's image size, or none of them on a failure or Cancel. Existing targets are
    // replaced only after one question. Returns true when the maps were written.
    bool exportMaps(CQuorvelDoc* document);
    // Reads a texture document into a new document window. On failure the user is told which
    // file and why, and no document is made.
    bool ReadTextureFile(const QString& path);
    // The Yes/No question for a modified document on closing; Yes runs SaveTextureAs. Returns
    // false when the user said Yes and nothing was saved: the close must stop there.
    bool PromptSaveDocument(CQuorvelDoc* document);
    // The Close command: Yes/No/Cancel, Yes saving as Save does. Returns true when every window
    // of the document was closed.
    bool closeDocument(CQuorvelDoc* document);

private:
    quorvel::FileStatus writeImage(CQuorvelDoc* document, const QString& path, int format,
                                   bool* cancelled);
    void report(const quorvel::FileStatus& status);
    // Puts a document's path first in the recent files.
    void remember(const QString& path);

    CQuorvelApp& mApp;
};
