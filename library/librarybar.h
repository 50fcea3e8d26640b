#pragma once

#include "files/libraryfile.h"

#include <QWidget>

#include <vector>

// The texture library panel. Holds the library's entries; the thumbnail strip shows them.
class CLibraryBar : public QWidget {
    Q_OBJECT

public:
    explicit CLibraryBar(QWidget* parent = nullptr);

    const std::vector<quorvel::LibraryFileEntry>& entries() const noexcept { return mEntries; }
    void setEntries(std::vector<quorvel::LibraryFileEntry> entries);

private:
    std::vector<quorvel::LibraryFileEntry> mEntries;
};
