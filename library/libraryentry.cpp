#include "library/libraryentry.h"

#include "document/quorveldoc.h"
#include "engine/defaults.h"
#include "files/searchpath.h"
#include "files/texturedocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using quorvel::FileStatus;
using quorvel::TextureSource;

namespace {

QString fromLocal(const std::string& text) { return QFile::decodeName(text.c_str()); }

QString problemsText(const std::string& problems) { return fromLocal(problems).trimmed(); }

QString sourceNoteOf(const quorvel::LibraryFileEntry& file, const quorvel::LoadedTexture& loaded) {
    switch (loaded.source) {
    case TextureSource::Path: return {};
    case TextureSource::Name: {
        // A library that stores bare names as paths (as the shipped one does) means them to be
        // found by name: nothing to explain.
        if (file.path == file.name && loaded.problems.empty())
            return {};
        QString note = QStringLiteral("Read from '%1': the stored path could not be read.")
                           .arg(fromLocal(loaded.file));
        if (!loaded.problems.empty())
            note += QLatin1Char('\n') + problemsText(loaded.problems);
        return note;
    }
    case TextureSource::MarbleDefaults: break;
    }
    QString note = QStringLiteral("Shows the Marble defaults: ");
    if (loaded.problems.empty())
        return note + QStringLiteral("the texture file was found neither at its path nor by its "
                                     "name in the texture folder or along the search path.");
    return note + QStringLiteral("no texture document could be read.\n") +
           problemsText(loaded.problems);
}

}  // namespace

LibraryEntry loadLibraryEntry(const quorvel::LibraryFileEntry& file,
                              const std::vector<std::string>& searchPath,
                              const CQuorvelDoc* active) {
    quorvel::LoadedTexture loaded = quorvel::loadLibraryTexture(file, searchPath);
    LibraryEntry entry;
    entry.file = file;
    entry.source = loaded.source;
    entry.sourceNote = sourceNoteOf(file, loaded);
    if (loaded.source == TextureSource::MarbleDefaults && active) {
        // The document's own table, which an entry showing the defaults is meant to match.
        const auto marble = static_cast<size_t>(quorvel::MaterialType::Marble);
        entry.record = quorvel::copyTexture(active->defaults()[marble]);
    } else {
        entry.record = loaded.record;
    }
    return entry;
}

FileStatus readAddedEntry(const QString& file, LibraryEntry& entry) {
    const std::string path = QFile::encodeName(QFileInfo(file).absoluteFilePath()).toStdString();
    const std::string quoted = quorvel::quotedPath(path);
    if (path.size() >= quorvel::kLibraryFieldBytes) {
        return FileStatus::failure("Cannot add " + quoted + " to the library: its path is " +
                                   std::to_string(path.size()) +
                                   " bytes long, and a library stores paths of at most " +
                                   std::to_string(quorvel::kLibraryFieldBytes - 1) + " bytes.");
    }
    quorvel::TextureParams record = quorvel::newTexture();
    if (FileStatus read = quorvel::readTextureDocument(path, record); !read.ok())
        return read;
    // Whatever count the file holds, a library record always has its 24 entries.
    record.colourMap.count = quorvel::kColourMapEntries;
    entry = LibraryEntry{};
    entry.file = {quorvel::libraryNameOf(path), path};
    entry.record = record;
    entry.source = TextureSource::Path;
    return FileStatus::success();
}

QString libraryTexturePath(const std::string& name) {
    const std::string folder = quorvel::textureFolder();
    const QDir base = folder.empty() ? QDir::current() : QDir(fromLocal(folder));
    // Only the file name counts: a name read from a library file must never lead a later Save
    // out of the texture folder ("\..\notes.txt").
    QString file = fromLocal(quorvel::nameAsRelativePath(name)).section(QLatin1Char('/'), -1);
    if (file.isEmpty() || file == QStringLiteral(".") || file == QStringLiteral(".."))
        file = QStringLiteral("untitled.qvl");
    return base.filePath(file);
}
