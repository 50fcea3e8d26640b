#pragma once

#include "engine/textureparams.h"
#include "files/filestatus.h"
#include "files/libraryfile.h"

#include <QString>

#include <string>
#include <vector>

class CQuorvelDoc;

// One texture of the in-memory library: what a library file stores (name and path), the record
// it shows and where that record came from. The strip keeps its thumbnail beside it.
struct LibraryEntry {
    quorvel::LibraryFileEntry file;
    quorvel::TextureParams record;
    quorvel::TextureSource source = quorvel::TextureSource::Path;
    // Read from another file than the stored path, or showing the Marble defaults: why, for the
    // user; empty when the stored path was read.
    QString sourceNote;

    bool fellBack() const noexcept { return source == quorvel::TextureSource::MarbleDefaults; }
};

// A library file's entry with its texture: read from its path, else by its name in the texture
// folder and along `searchPath`; when neither can be read, a copy of the Marble defaults of
// `active` (the global Marble defaults without a document). Never fails.
LibraryEntry loadLibraryEntry(const quorvel::LibraryFileEntry& file,
                              const std::vector<std::string>& searchPath,
                              const CQuorvelDoc* active);

// The entry for a texture file the user chose to add. Fails, naming the file, when its path
// does not fit a library file's 80-byte field or the file is not a readable texture document;
// `entry` is then untouched.
quorvel::FileStatus readAddedEntry(const QString& file, LibraryEntry& entry);

// Where a texture opened from the library is saved: its name's file in the texture folder
// (~/qvl), or in the current folder when there is no home folder.
QString libraryTexturePath(const std::string& name);
