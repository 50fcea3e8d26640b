#include "app/recentfilelist.h"

#include <QSettings>

namespace {

QString entryKey(int k) { return QStringLiteral("Recent File List/File%1").arg(k); }

}  // namespace

void CRecentFileList::load(const QSettings& settings) {
    mEntries.clear();
    for (int k = 1; k <= kEntries; ++k) {
        const QString path = settings.value(entryKey(k)).toString();
        if (!path.isEmpty())
            mEntries.append(path);
    }
}

void CRecentFileList::save(QSettings& settings) const {
    for (int k = 1; k <= kEntries; ++k) {
        if (k <= mEntries.size())
            settings.setValue(entryKey(k), mEntries.at(k - 1));
        else
            settings.remove(entryKey(k));
    }
}

void CRecentFileList::add(const QString& path) {
    mEntries.removeAll(path);
    mEntries.prepend(path);
    while (mEntries.size() > kEntries)
        mEntries.removeLast();
}

QString CRecentFileList::menuText(const QString& path) {
    if (path.size() <= kMenuTextLength)
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = slash < 0 ? path : path.mid(slash + 1);
    const QString ellipsis = QStringLiteral("...");
    if (name.size() + ellipsis.size() + 1 >= kMenuTextLength)
        return ellipsis + name.right(kMenuTextLength - ellipsis.size());
    // Keep as much of the start of the folder as fits before the name.
    const qsizetype head = kMenuTextLength - ellipsis.size() - name.size() - 1;
    return path.left(head) + ellipsis + QLatin1Char('/') + name;
}
