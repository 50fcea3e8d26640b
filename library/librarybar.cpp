#include "library/librarybar.h"

CLibraryBar::CLibraryBar(QWidget* parent) : QWidget(parent) { setMinimumHeight(54); }

void CLibraryBar::setEntries(std::vector<quorvel::LibraryFileEntry> entries) {
    mEntries = std::move(entries);
    update();
}
