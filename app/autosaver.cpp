#include "app/autosaver.h"

#include "document/quorveldoc.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kLockName = QStringLiteral("lock");

// Written through a temporary file and renamed, so a crash mid-write leaves the last version.
void writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

QByteArray sidecar(const CQuorvelDoc& document) {
    QJsonObject object;
    object.insert(QStringLiteral("title"), document.title());
    object.insert(QStringLiteral("path"), document.pathName());
    return QJsonDocument(object).toJson();
}

std::unique_ptr<QLockFile> makeLock(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(kLockName));
    // Only a process that is gone leaves a stale lock, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

QList<RecoverableDocument> documentsIn(const QDir& folder) {
    QList<RecoverableDocument> found;
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile side(folder.filePath(name));
        const QString file = folder.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".qvl"));
        if (!QFileInfo::exists(file) || !side.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(side.readAll()).object();
        found.append({file, object.value(QStringLiteral("title")).toString(),
                      object.value(QStringLiteral("path")).toString()});
    }
    return found;
}

}  // namespace

QString CAutosaver::autosaveRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/autosave");
}

std::vector<OrphanSession> CAutosaver::claimOrphans(const QString& own) {
    std::vector<OrphanSession> orphans;
    const QDir root(autosaveRoot());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = root.filePath(name);
        if (folder == own)
            continue;
        // A running program holds its lock; one that is gone left a lock this one can take.
        std::unique_ptr<QLockFile> lock = makeLock(folder);
        if (!lock->tryLock(0))
            continue;
        orphans.push_back({folder, std::move(lock), documentsIn(QDir(folder))});
    }
    return orphans;
}

CAutosaver::CAutosaver(int intervalSeconds, QObject* parent) : QObject(parent) {
    mWriter.setMaxThreadCount(1);
    mFolder = QDir(autosaveRoot())
                  .filePath(QStringLiteral("%1-%2")
                                .arg(QCoreApplication::applicationPid())
                                .arg(QDateTime::currentMSecsSinceEpoch()));
    QDir().mkpath(mFolder);
    mLock = makeLock(mFolder);
    mLock->tryLock(0);
    if (intervalSeconds > 0) {
        mTimer.setInterval(intervalSeconds * 1000);
        connect(&mTimer, &QTimer::timeout, this, &CAutosaver::saveNow);
        mTimer.start();
    }
}

CAutosaver::~CAutosaver() {
    mTimer.stop();
    mWriter.waitForDone();
    mLock->unlock();
    QDir(mFolder).removeRecursively();
}

void CAutosaver::watch(CQuorvelDoc* document) {
    for (const Entry& entry : mEntries)
        if (entry.document == document)
            return;
    const QString name = QStringLiteral("document%1").arg(mNextName++);
    mEntries.push_back({document, name});
    // Saved, or its history back at the saved point: its autosave is no longer needed.
    connect(document, &CQuorvelDoc::modifiedChanged, this, [this, name](bool modified) {
        for (Entry& entry : mEntries)
            if (entry.name == name && !modified)
                removeFiles(entry);
    });
    // Closed without saving: the user chose to drop it.
    connect(document, &QObject::destroyed, this, [this, name] {
        for (auto it = mEntries.begin(); it != mEntries.end(); ++it)
            if (it->name == name) {
                removeFiles(*it);
                mEntries.erase(it);
                return;
            }
    });
}

void CAutosaver::saveNow() {
    for (Entry& entry : mEntries) {
        CQuorvelDoc* document = entry.document;
        if (!document || !document->isModified() ||
            (entry.written && entry.revision == document->revision()))
            continue;
        // The bytes are taken here, on the interface thread; only the writing waits elsewhere.
        const QByteArray bytes = recordBytes(document->record());
        const QByteArray side = sidecar(*document);
        const QString base = QDir(mFolder).filePath(entry.name);
        mWriter.start([base, bytes, side] {
            writeAtomically(base + QStringLiteral(".qvl"), bytes);
            writeAtomically(base + QStringLiteral(".json"), side);
        });
        entry.revision = document->revision();
        entry.written = true;
    }
}

void CAutosaver::flush() { mWriter.waitForDone(); }

void CAutosaver::removeFiles(Entry& entry) {
    if (!entry.written)
        return;
    entry.written = false;
    const QString base = QDir(mFolder).filePath(entry.name);
    mWriter.start([base] {
        QFile::remove(base + QStringLiteral(".json"));
        QFile::remove(base + QStringLiteral(".qvl"));
    });
}
