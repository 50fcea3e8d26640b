#pragma once

#include "files/libraryfile.h"

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class CLibraryStrip;
class CPanelHost;
class QWidget;

// The library's commands: Add, Load, Save and Delete, and the loading of a library's entries
// (also at start-up). They change the strip's entries and selection and then update the strip.
// A library or texture file that cannot be read or written gives a message naming it and the
// reason, and leaves the library as it was.
class CLibraryCommands : public QObject {
    Q_OBJECT

public:
    // `dialogParent` owns the file dialogs and messages.
    CLibraryCommands(CLibraryStrip& strip, CPanelHost& host, QWidget* dialogParent);

    // Appends the chosen texture files in the dialog's order; the last one added is selected
    // and shown first. Files whose path is 80 bytes or longer cannot be stored and are refused.
    void add();
    // Replaces the library by a chosen library file; the first entry is selected.
    void load();
    // Writes the library's names and paths to a chosen file; no texture file is written.
    void save();
    // Removes the selected entry; the selection keeps its index, or moves to the new last
    // entry when the last one was removed.
    void deleteSelected();

    // Replaces the library by `entries`, reading each texture from its path or by its name in
    // the texture folder and along `searchPath`; entries found nowhere show the active
    // document's Marble defaults.
    void setEntries(const std::vector<quorvel::LibraryFileEntry>& entries,
                    const std::vector<std::string>& searchPath);
    // Reads a library file into the strip. Returns false, after telling the user and changing
    // nothing, when the file cannot be read or is not a library.
    bool readLibrary(const QString& path);

private:
    void tell(const QString& text) const;

    CLibraryStrip& mStrip;
    CPanelHost& mHost;
    QWidget* mDialogParent;
};
