#include "library/librarycommands.h"

#include "document/userdialogs.h"
#include "files/searchpath.h"
#include "library/librarystrip.h"
#include "panels/panelhost.h"

#include <QFile>
#include <QFileInfo>

using quorvel::FileStatus;

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

FileDialogRequest libraryRequest(const QString& title) {
    FileDialogRequest request;
    request.title = title;
    request.folder = CUserDialogs::dialogFolder();
    request.filters = {QStringLiteral("Library File (*.qlb)")};
    request.defaultSuffix = QStringLiteral("qlb");
    return request;
}

}  // namespace

CLibraryCommands::CLibraryCommands(CLibraryStrip& strip, CPanelHost& host, QWidget* dialogParent)
    : QObject(dialogParent), mStrip(strip), mHost(host), mDialogParent(dialogParent) {}

void CLibraryCommands::tell(const QString& text) const {
    CUserDialogs::instance().tell(mDialogParent, text);
}

void CLibraryCommands::add() {
    FileDialogRequest request;
    request.title = QStringLiteral("Add a Texture to the Library");
    request.folder = CUserDialogs::dialogFolder();
    request.filters = {QStringLiteral("Texture File (*.qvl)")};
    request.defaultSuffix = QStringLiteral("qvl");
    const QStringList files = CUserDialogs::instance().openFileNames(mDialogParent, request);
    if (files.isEmpty())
        return;
    CUserDialogs::followChosenFolder(files.constFirst());
    QStringList refused;
    bool added = false;
    for (const QString& file : files) {
        if (mStrip.count() >= CLibraryStrip::kMaxEntries) {
            refused.append(QStringLiteral("Cannot add '%1' to the library: a library holds at "
                                          "most %2 textures.")
                               .arg(file)
                               .arg(CLibraryStrip::kMaxEntries));
            continue;
        }
        LibraryEntry entry;
        if (const FileStatus read = readAddedEntry(file, entry); !read.ok()) {
            refused.append(QString::fromStdString(read.message));
            continue;
        }
        mStrip.setSelection(mStrip.appendEntry(std::move(entry)));
        added = true;
    }
    if (added)
        mStrip.updateStrip();
    if (!refused.isEmpty())
        tell(refused.join(QLatin1Char('\n')));
}

void CLibraryCommands::load() {
    FileDialogRequest request = libraryRequest(QStringLiteral("Load a Texture Library"));
    request.severalFiles = false;
    const QStringList chosen = CUserDialogs::instance().openFileNames(mDialogParent, request);
    if (chosen.isEmpty())
        return;
    CUserDialogs::followChosenFolder(chosen.constFirst());
    readLibrary(chosen.constFirst());
}

bool CLibraryCommands::readLibrary(const QString& path) {
    std::vector<quorvel::LibraryFileEntry> entries;
    const FileStatus read =
        quorvel::readLibraryFile(localPath(QFileInfo(path).absoluteFilePath()), entries);
    if (!read.ok()) {
        tell(QString::fromStdString(read.message));
        return false;
    }
    setEntries(entries, quorvel::dataSearchPath());
    return true;
}

void CLibraryCommands::setEntries(const std::vector<quorvel::LibraryFileEntry>& entries,
                                  const std::vector<std::string>& searchPath) {
    std::vector<LibraryEntry> loaded;
    loaded.reserve(entries.size());
    for (const quorvel::LibraryFileEntry& file : entries)
        loaded.push_back(loadLibraryEntry(file, searchPath, mHost.activeDocument()));
    mStrip.replaceEntries(std::move(loaded));
    mStrip.updateStrip();
}

void CLibraryCommands::save() {
    FileDialogRequest request = libraryRequest(QStringLiteral("Save a Texture Library"));
    const QString chosen = CUserDialogs::instance().saveFileName(mDialogParent, request);
    if (chosen.isEmpty())
        return;
    CUserDialogs::followChosenFolder(chosen);
    const FileStatus written = quorvel::writeLibraryFile(
        localPath(QFileInfo(chosen).absoluteFilePath()), mStrip.fileEntries());
    if (!written.ok())
        tell(QString::fromStdString(written.message));
}

void CLibraryCommands::deleteSelected() {
    const int count = mStrip.count();
    if (count == 0)
        return;
    const int selection = mStrip.selection();
    mStrip.removeEntry(selection);
    // The entry that followed takes the index; after the last, the new last one.
    if (selection == count - 1)
        mStrip.setSelection(std::max(0, count - 2));
    mStrip.updateStrip();
}
