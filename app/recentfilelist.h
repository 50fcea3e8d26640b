#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The recent texture documents, most recent first: the File menu lists them and the recent-file
// commands open them, from the same list. Stored as "File1" to "File8" of "Recent File List".
class CRecentFileList {
public:
    static constexpr int kEntries = 8;
    static constexpr int kMenuTextLength = 30;

    void load(const QSettings& settings);
    void save(QSettings& settings) const;

    // Puts `path` first in the menu's list, removing an older copy.
    void add(const QString& path);
    const QStringList& menuEntries() const noexcept { return mEntries; }

    // Entry k (1 to 8), empty when absent.
    QString entry(int k) const { return mEntries.value(k - 1); }

    // A path shortened to at most 30 characters for the menu, keeping the file name.
    static QString menuText(const QString& path);

private:
    QStringList mEntries;
};
