#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The recent texture documents. The menu's list changes whenever a document takes a path and is
// written to the profile at exit; the stored entries "File1" to "File8" of "Recent File List"
// are also shifted directly by Open and the recent-file commands, and those commands open what
// the stored entries say.
class CRecentFileList {
public:
    static constexpr int kEntries = 8;
    static constexpr int kMenuTextLength = 30;

    void load(const QSettings& settings);
    void save(QSettings& settings) const;

    // Puts `path` first in the menu's list, removing an older copy.
    void add(const QString& path);
    const QStringList& menuEntries() const noexcept { return mEntries; }

    // Stored entry k (1 to 8), empty when absent.
    static QString storedEntry(const QSettings& settings, int k);
    // Moves stored entries 1 to k - 1 down by one and stores `path` as entry 1 (k = 8 shifts
    // all of them; k = 1 leaves the entries as they are).
    static void storeFirst(QSettings& settings, const QString& path, int k = kEntries);

    // A path shortened to at most 30 characters for the menu, keeping the file name.
    static QString menuText(const QString& path);

private:
    QStringList mEntries;
};
